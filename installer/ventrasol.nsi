; The setup program: ventrasol.exe into Program Files (where only administrators can change it,
; which the driver and library rules of the program rely on), a Start-menu shortcut, an entry
; in "Apps & features" and an uninstaller that leaves nothing behind.
; Built by scripts/package:  makensis -DVERSION=x.y.z -DEXE=... -DDRIVER=... -DOUTFILE=... ventrasol.nsi
;
; Options:  /S silent; /AUTOSTART starts Ventrasol with Windows (also in silent mode)
; Uninstaller:  /S silent; /PURGE also removes the settings in silent mode

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!ifndef VERSION | EXE | DRIVER | OUTFILE | ICON
  !error "VERSION, EXE, DRIVER, OUTFILE and ICON must be defined"
!endif

!define APP_NAME "Ventrasol"
!define WINDOW_CLASS "VentrasolUniversalClass"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ventrasol"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Ventrasol"
!define SERVICE_KEY "SYSTEM\CurrentControlSet\Services\applesmc"
!define SYNCHRONIZE_ACCESS 0x00100000

Name "${APP_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP_NAME}"
BrandingText "${APP_NAME} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=1031 "FileDescription" "${APP_NAME} Setup"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "CompanyName" "${APP_NAME}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "${APP_NAME}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The setup speaks German on a German Windows and English on every other: the first language
; is the one taken where Windows' own matches none.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString AUTOSTART_SECTION ${LANG_ENGLISH} "Start with Windows (autostart)"
LangString AUTOSTART_SECTION ${LANG_GERMAN} "Mit Windows starten (Autostart)"
LangString PURGE_QUESTION ${LANG_ENGLISH} "Also delete Ventrasol's settings?"
LangString PURGE_QUESTION ${LANG_GERMAN} "Sollen auch die Einstellungen von Ventrasol gelöscht werden?"

; Ends a running Ventrasol the way the user would: WM_CLOSE to its window, so it hands its fans
; back to the firmware, then waits up to twenty seconds for its process to end. The window goes
; before the process's last steps; its file is free only once the process is gone. The process
; is opened before the window is asked to close, while its id is surely still its own.
!macro CLOSE_RUNNING
  FindWindow $0 "${WINDOW_CLASS}"
  ${If} $0 <> 0
    System::Call "user32::GetWindowThreadProcessId(p $0, *i .r1) i"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE_ACCESS}, i 0, i $1) p .r2"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 != 0
      System::Call "kernel32::WaitForSingleObject(p $2, i 20000) i"
      System::Call "kernel32::CloseHandle(p $2)"
    ${Else}
      ; Not allowed to wait on it: wait for its window, and a moment for its file.
      StrCpy $1 0
      ${Do}
        Sleep 200
        IntOp $1 $1 + 1
        FindWindow $0 "${WINDOW_CLASS}"
        ${IfThen} $1 >= 50 ${|} ${ExitDo} ${|}
      ${LoopWhile} $0 <> 0
      Sleep 1000
    ${EndIf}
  ${EndIf}
!macroend

; $0 = 1 on a machine whose firmware names Apple as its maker ("Apple Inc.", "Apple Computer,
; Inc."), the only machines with the SMC the driver talks to.
Function IsAppleMachine
  Push $1
  Push $2
  ReadRegStr $1 HKLM "HARDWARE\DESCRIPTION\System\BIOS" "SystemManufacturer"
  StrCpy $2 $1 1 5
  StrCpy $1 $1 5
  StrCpy $0 0
  ${If} $1 S== "Apple"
    ${If} $2 == ""
    ${OrIf} $2 == " "
    ${OrIf} $2 == ","
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
FunctionEnd

Section "Ventrasol" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetRegView 64
  !insertmacro CLOSE_RUNNING
  SetOutPath "$INSTDIR"
  File "/oname=ventrasol.exe" "${EXE}"
  ; The SMC driver: a driver file beside the setup is the user's choice and wins; otherwise an
  ; Apple machine gets Ventrasol's own. Other machines get none.
  ${If} ${FileExists} "$EXEDIR\applesmc.sys"
    CopyFiles /SILENT "$EXEDIR\applesmc.sys" "$INSTDIR\applesmc.sys"
  ${Else}
    Call IsAppleMachine
    ${If} $0 == 1
      File "/oname=applesmc.sys" "${DRIVER}"
    ${EndIf}
  ${EndIf}
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP_NAME}.lnk" "$INSTDIR\ventrasol.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${APP_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ventrasol.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The program registers its logon task itself: a Run value "Ventrasol" is what it turns into
; the task at its next start (and then removes).
Section /o "$(AUTOSTART_SECTION)" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Ventrasol" '"$INSTDIR\ventrasol.exe" --minimized'
SectionEnd

Function .onInit
  SetRegView 64
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecAutostart} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 64
  !insertmacro CLOSE_RUNNING

  nsExec::Exec '"$SYSDIR\schtasks.exe" /delete /tn Ventrasol /f'
  Pop $0
  DeleteRegValue HKCU "${RUN_KEY}" "Ventrasol"

  Call un.RemoveOwnDriverService

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PURGE" $R1
  ${IfNot} ${Errors}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${ElseIfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION "$(PURGE_QUESTION)" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    keep:
  ${EndIf}

  Delete "$SMPROGRAMS\${APP_NAME}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\ventrasol.exe"
  Delete "$INSTDIR\applesmc.sys"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

; The driver service "applesmc" goes only when Ventrasol created it. The program gives the
; service it creates this description (DRIVER_SERVICE_MARK in src/hardware/smc_driver_service.h:
; the two must stay the same); a service of the same name and path that another tool set up
; has none, or another, and stays with its file.
!define SERVICE_MARK "Eingerichtet von Ventrasol; wird mit Ventrasol deinstalliert."

Function un.RemoveOwnDriverService
  ReadRegStr $0 HKLM "${SERVICE_KEY}" "Description"
  ${IfThen} $0 S!= "${SERVICE_MARK}" ${|} Return ${|}
  ReadRegStr $0 HKLM "${SERVICE_KEY}" "ImagePath"
  ${If} $0 == "$SYSDIR\drivers\applesmc.sys"
  ${OrIf} $0 == "\??\$SYSDIR\drivers\applesmc.sys"
    nsExec::Exec '"$SYSDIR\sc.exe" stop applesmc'
    Pop $1
    nsExec::Exec '"$SYSDIR\sc.exe" delete applesmc'
    Pop $1
    Delete "$SYSDIR\drivers\applesmc.sys"
  ${EndIf}
FunctionEnd
