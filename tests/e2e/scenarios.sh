# The two machines of tier 3, sourced by tests/e2e/run (which defines begin/end/expect_eq,
# drive, start_program, the geometry and the pixel helpers).

TITLE_TAIL=" Thermal & Fan Control [Universal Windows]"
WM_CLOSE=16
WM_ENDSESSION=22
WM_TRAYICON=1124
WM_COMMAND_TIMER=275
TICK=1001

tick() { drive send "$WM_COMMAND_TIMER" "$TICK" 0 >/dev/null; }
click_at() { drive click $* >/dev/null; } # "X Y" as one word, split here
# A tab's regions exist once it has been painted: switch, then paint before the next click.
open_tab() { drive click $(tab_point "$1") , paint >/dev/null; }

# fan_bar_checks NAME FAN FRACTION: the fill of fan FAN's level bar ends where FRACTION says.
fan_bar_checks() {
    local cw=$((W / 2 - 6))
    local x=$((243 + $2 * (cw + 12)))
    local filled
    filled=$(awk -v w=$((cw - 32)) -v f="$3" 'BEGIN { v = w * f; printf "%d", (v >= 0) ? int(v + 0.5) : -int(-v + 0.5) }')
    expect_pixel "$1 bar fill" $((x + 16 + filled - 6)) $((B + 213)) "$ACCENT_LIGHT"
    expect_pixel "$1 bar track" $((x + 16 + filled + 6)) $((B + 213)) "$TRACK"
}

# Checks shared by both machines: commands, clicks, drag, options, screen.
common_window_checks() { # PREFIX
    local p="$1"

    begin "$p.ModeCommandsWriteActiveProfile"
    local id mode
    for mode in 0 1 2 3 4 5; do
        id=$((2002 + mode))
        expect_eq "command $id" 0 "$(drive command $id)"
        expect_eq "ActiveProfile after $id" "$mode" "$(setting ActiveProfile)"
    done
    # Identifiers outside the menu's range do nothing (and are not passed on).
    expect_eq "command 2000" 0 "$(drive command 2000)"
    expect_eq "command 2011" 0 "$(drive command 2011)"
    expect_eq "ActiveProfile after foreign ids" 5 "$(setting ActiveProfile)"
    end

    begin "$p.AutostartCommandsRegisterTheLogonTask"
    seed_run_value
    drive command 2008 >/dev/null
    expect_eq "task after 2008" present "$(task)"
    expect_eq "Run value after 2008" absent "$(run_value)"
    drive command 2009 >/dev/null
    expect_eq "StartMinimized after 2009" 0 "$(setting StartMinimized)"
    # With autostart on, 2009 registers the task again: gone from outside, it is back.
    expect_eq "task deleted from outside" deleted "$(drive task-delete Ventrasol)"
    drive command 2009 >/dev/null
    expect_eq "task after the second 2009" present "$(task)"
    drive command 2008 >/dev/null
    expect_eq "task after the second 2008" absent "$(task)"
    expect_eq "Run value after the second 2008" absent "$(run_value)"
    drive command 2009 >/dev/null
    expect_eq "task after 2009 with autostart off" absent "$(task)"
    expect_eq "StartMinimized saved" 0 "$(setting StartMinimized)"
    drive command 2009 >/dev/null
    end

    begin "$p.ClicksOnModeButtonsAndTabs"
    click_at "$(mode_point 3)"
    expect_eq "ActiveProfile after clicking Ausgewogen" 3 "$(setting ActiveProfile)"
    click_at "$(mode_point 0)"
    expect_eq "ActiveProfile after clicking System-Auto" 0 "$(setting ActiveProfile)"
    drive paint >/dev/null
    screenshot
    local bw=$(((W - 58) / 6))
    expect_pixel "System-Auto button active" $((257 + bw / 2)) 55 "$ACCENT"
    expect_pixel "Ausgewogen button inactive" $((257 + 3 * (bw + 6) + bw / 2)) 55 "$BUTTON"
    # The options tab, then its autostart switch: the same effect as command 2008.
    open_tab 4
    click_at "270 $((B + 178))"
    expect_eq "task after the autostart switch" present "$(task)"
    drive paint >/dev/null
    screenshot
    expect_pixel "options tab active" 16 $((85 + 36 * 4)) "$ACCENT"
    expect_pixel "dashboard tab inactive" 16 85 "$SIDEBAR"
    expect_pixel "status card" $((W + 235)) $((B + 105)) "$CARD"
    expect_pixel "reload button" $((W + 68)) $((B + 28)) "$ACCENT"
    expect_pixel "autostart switch on" 264 $((B + 178)) "$ACCENT"
    expect_pixel "start minimised switch on" 264 $((B + 212)) "$ACCENT"
    expect_pixel "reset on exit switch on" 264 $((B + 246)) "$ACCENT"
    click_at "270 $((B + 178))"
    expect_eq "task after the switch again" absent "$(task)"
    drive paint >/dev/null
    screenshot
    expect_pixel "autostart switch off" 290 $((B + 178)) "$TOGGLE_OFF"
    end

    begin "$p.CurveTabFills"
    open_tab 1
    drive paint >/dev/null
    screenshot
    expect_pixel "curve tab active" 16 $((85 + 36)) "$ACCENT"
    # Inside the chart, left of the first point and clear of the grid: 35 degrees, 60 percent.
    local cwid=$((W - 40))
    expect_pixel "chart background" $((263 + (5 * cwid + 35) / 70)) $((B + 280 - 132)) "$TRACK"
    expect_pixel "Kurve aktivieren" 270 $((B + 305)) "$ACCENT"
    expect_pixel "Zuruecksetzen" 480 $((B + 305)) "$BUTTON"
    expect_pixel "curve card" $((W + 235)) $((B + 350)) "$CARD"
    open_tab 0
    end
}

# A slider drag on the dashboard changes ManualRPM0 only when the button is released.
slider_drag_checks() { # PREFIX MIN MAX
    local p="$1" min="$2" max="$3"
    begin "$p.SliderDragSavesOnRelease"
    open_tab 0
    local cw=$((W / 2 - 6))
    local width=$((cw - 32))
    local before
    before=$(setting ManualRPM0)
    drive down $((259 + width / 2)) $((B + 258)) >/dev/null
    drive move $((259 + width * 9 / 10)) $((B + 258)) >/dev/null
    expect_eq "ManualRPM0 while dragging" "$before" "$(setting ManualRPM0)"
    drive up $((259 + width * 9 / 10)) $((B + 258)) >/dev/null
    local expected
    expected=$(awk -v lo="$min" -v hi="$max" -v x=$((width * 9 / 10)) -v w="$width" \
        'BEGIN { printf "%d", int(lo + (hi - lo) * x / w + 0.5) }')
    expect_eq "ManualRPM0 after release" "$expected" "$(setting ManualRPM0)"
    end
}

# Starting hidden, a second start surfacing the first, and the two ways to end.
lifecycle_checks() { # PREFIX
    local p="$1"
    begin "$p.MinimizedStartStaysHiddenAndSecondStartSurfacesIt"
    start_program --minimized
    local first_pid=$program_pid
    expect_eq "hidden with --minimized" 0 "$(drive wait-window 30 | cut -d'|' -f2)"
    start_program
    program_exit 20
    expect_eq "second start's exit code" 0 "$exit_code"
    expect_eq "first window surfaced" 1 "$(drive wait-window 5 shown | cut -d'|' -f2)"
    program_pid=$first_pid
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code after WM_CLOSE" 0 "$exit_code"
    end

    begin "$p.ShortSwitchStartsHiddenAndEndSessionEnds"
    start_program -m
    expect_eq "hidden with -m" 0 "$(drive wait-window 30 | cut -d'|' -f2)"
    # The tray icon's callback: a single click does nothing, a double click opens the window.
    drive send "$WM_TRAYICON" 0 513 >/dev/null
    expect_eq "hidden after a single click on the icon" 0 "$(drive wait-window 5 | cut -d'|' -f2)"
    drive send "$WM_TRAYICON" 0 515 >/dev/null
    expect_eq "shown after a double click on the icon" 1 \
        "$(drive wait-window 5 shown | cut -d'|' -f2)"
    # A cancelled session end (wParam 0) still ends the program.
    drive send "$WM_ENDSESSION" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code after WM_ENDSESSION" 0 "$exit_code"
    expect_eq "window gone" gone "$(drive wait-gone 5)"
    end
}

scenario_generic() {
    prepare_prefix generic
    cp "$DOUBLES/nvapi64.dll" "$WINEPREFIX/drive_c/windows/system32/"
    export FAKE_NVAPI_TEMP=61 FAKE_NVAPI_RPM=4600
    set_identity "ASUSTeK COMPUTER INC." "ROG Zephyrus G14" "ASUSTeK COMPUTER INC." "GA401QM"

    begin "Generic.StartShowsTheTitledWindow"
    start_program
    expect_eq "title and visibility" "Ventrasol — ROG Zephyrus G14$TITLE_TAIL|1" \
        "$(drive wait-window 30 shown)"
    end

    begin "Generic.DashboardFillsAndGpuFanSpeed"
    measure
    tick
    drive paint >/dev/null
    screenshot
    expect_pixel "background" 234 5 "$BACKGROUND"
    expect_pixel "sidebar" 5 60 "$SIDEBAR"
    expect_pixel "dashboard tab active" 16 85 "$ACCENT"
    expect_pixel "curve tab inactive" 16 121 "$SIDEBAR"
    expect_pixel "notice" $((W + 235)) 115 "$NOTICE_OK"
    expect_pixel "reading card" $((243 + (W - 16) / 3 - 8)) $((B + 50)) "$CARD"
    expect_pixel "driver dot" 151 $((client_h - 132)) "$GOOD"
    # ASUS fans: fan 0 at its start speed 2100 of 1000..5200; fan 1 shows the NVIDIA
    # tachometer's 4600 of 1000..5000.
    fan_bar_checks "fan 0" 0 "$(awk 'BEGIN { print 1100 / 4200 }')"
    fan_bar_checks "fan 1" 1 0.9
    end

    begin "Generic.HardwareTabShowsTheInventoryCards"
    open_tab 3
    screenshot
    local half=$((W / 2))
    # The device card has five rows here (maker, product, board, BIOS, backend): 172 high.
    expect_pixel "device card, below its fifth row" $((half + 230)) $((B + 168)) "$CARD"
    expect_pixel "below the device card" $((half + 230)) $((B + 176)) "$BACKGROUND"
    # The processor card (three rows, 124 high) goes to the right column.
    expect_pixel "processor card" $((2 * half + 236)) $((B + 120)) "$CARD"
    open_tab 0
    end

    begin "Generic.DpiChangeWithoutRectangleKeepsTheSize"
    local before
    before=$(drive window)
    expect_eq "handled" 0 "$(drive send 736 $((144 * 65536 + 144)) 0)"
    expect_eq "window rectangle" "$before" "$(drive window)"
    end

    common_window_checks Generic
    slider_drag_checks Generic 1000 5200

    begin "Generic.CloseEndsWithExitCodeZero"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    end

    lifecycle_checks Generic

    begin "Generic.ARunValueBecomesTheLogonTaskAtStart"
    seed_run_value
    start_program --minimized
    await_window 30
    expect_eq "task after start" present "$(task)"
    expect_eq "Run value after start" absent "$(run_value)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    end

    # Every start above ran with nvapi64.dll, atiadlxx.dll and atiadlxy.dll planted beside the
    # program and in its current directory; the GPU fan speed came from System32's stand-in.
    begin "Generic.PlantedLibrariesWereNeverLoaded"
    expect_eq "planted libraries loaded" "" "$(planted_loads)"
    end
    unset FAKE_NVAPI_TEMP FAKE_NVAPI_RPM
    finish_prefix
}

scenario_apple() {
    prepare_prefix apple 'Program Files\Ventrasol'
    cp "$DOUBLES/applesmc.sys" "$APP_DIR_UNIX/"
    set_identity "Apple Inc." "MacBookPro15,1" "Apple Inc." "Mac-937A206F2EE63C01"
    local service='HKLM\System\CurrentControlSet\Services\applesmc'
    local installed="$WINEPREFIX/drive_c/windows/system32/drivers/applesmc.sys"

    # From a folder outside Program Files the driver beside the program is not trusted.
    begin "Apple.StartedElsewhereInstallsNoDriver"
    local program_files_exe="$APP_EXE_WIN"
    mkdir -p "$WINEPREFIX/drive_c/Tools"
    cp "$EXE" "$DOUBLES/applesmc.sys" "$WINEPREFIX/drive_c/Tools/"
    APP_EXE_WIN='C:\Tools\ventrasol.exe'
    start_program
    await_window 30 shown
    expect_eq "service" absent "$(drive reg "$service" Type)"
    expect_eq "driver copied" no "$([ -f "$installed" ] && echo yes || echo no)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    APP_EXE_WIN="$program_files_exe"
    end

    begin "Apple.StartInstallsTheDriverService"
    start_program
    expect_eq "title and visibility" "Ventrasol — MacBookPro15,1$TITLE_TAIL|1" \
        "$(drive wait-window 30 shown)"
    expect_eq "driver copied" yes "$([ -f "$installed" ] && echo yes)"
    expect_eq "service type: kernel driver" 1 "$(drive reg "$service" Type)"
    expect_eq "service start: on demand" 3 "$(drive reg "$service" Start)"
    # Start-up leaves the firmware in control.
    expect_eq "fan 0 mode" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 mode" 0 "$(drive smc-get F1Md)"
    measure
    tick
    drive paint >/dev/null
    screenshot
    expect_pixel "driver dot" 151 $((client_h - 132)) "$GOOD"
    # Fan 0 turns at 2160 of 1200..6156, fan 1 at 2003 of 1200..5700.
    fan_bar_checks "fan 0" 0 "$(awk 'BEGIN { print 960 / 4956 }')"
    fan_bar_checks "fan 1" 1 "$(awk 'BEGIN { print 803 / 4500 }')"
    end

    begin "Apple.ModesReachTheSmc"
    drive command 2004 >/dev/null # quiet: 15 % of each range
    expect_eq "quiet fan 0 mode" 1 "$(drive smc-get F0Md)"
    expect_eq "quiet fan 0 target" 1943.00 "$(drive smc-get F0Tg)"
    expect_eq "quiet fan 1 mode" 1 "$(drive smc-get F1Md)"
    expect_eq "quiet fan 1 target" 1875.00 "$(drive smc-get F1Tg)"
    drive command 2006 >/dev/null # maximum
    expect_eq "max fan 0 target" 6156.00 "$(drive smc-get F0Tg)"
    expect_eq "max fan 1 target" 5700.00 "$(drive smc-get F1Tg)"
    drive command 2005 >/dev/null # balanced: 50 %
    expect_eq "balanced fan 0 target" 3678.00 "$(drive smc-get F0Tg)"
    expect_eq "balanced fan 1 target" 3450.00 "$(drive smc-get F1Tg)"
    drive command 2002 >/dev/null # back to the firmware
    expect_eq "auto fan 0 mode" 0 "$(drive smc-get F0Md)"
    expect_eq "auto fan 1 mode" 0 "$(drive smc-get F1Md)"
    end

    begin "Apple.CurveFollowsTemperatureWithHysteresis"
    # The hottest CPU key decides: 70 degrees lies between (60, 30 %) and (72, 60 %): 55 %.
    drive smc-set TCXC flt 70 >/dev/null
    drive command 2003 >/dev/null
    tick
    expect_eq "curve fan 0 mode" 1 "$(drive smc-get F0Md)"
    expect_eq "curve fan 0 target at 70" 3926.00 "$(drive smc-get F0Tg)"
    expect_eq "curve fan 1 target at 70" 3675.00 "$(drive smc-get F1Tg)"
    # 70.3 degrees asks for 37 and 34 RPM more: under the 45 RPM threshold, nothing is written.
    drive smc-set TCXC flt 70.3 >/dev/null
    tick
    expect_eq "fan 0 target within hysteresis" 3926.00 "$(drive smc-get F0Tg)"
    expect_eq "fan 1 target within hysteresis" 3675.00 "$(drive smc-get F1Tg)"
    # 71 degrees: 57.5 %, 124 and 113 RPM above what was written: both move.
    drive smc-set TCXC flt 71 >/dev/null
    tick
    expect_eq "fan 0 target at 71" 4050.00 "$(drive smc-get F0Tg)"
    expect_eq "fan 1 target at 71" 3788.00 "$(drive smc-get F1Tg)"
    end

    slider_drag_checks Apple 1200 6156

    begin "Apple.CloseHandsBothFansBack"
    drive command 2007 >/dev/null # manual: the program drives both fans
    expect_eq "manual fan 0 mode" 1 "$(drive smc-get F0Md)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 handed back" 0 "$(drive smc-get F1Md)"
    end

    begin "Apple.EndSessionHandsBothFansBack"
    start_program --minimized
    await_window 30
    drive command 2006 >/dev/null
    expect_eq "max fan 1 mode" 1 "$(drive smc-get F1Md)"
    drive send "$WM_ENDSESSION" 1 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 handed back" 0 "$(drive smc-get F1Md)"
    end

    begin "Apple.WithoutResetOnExitTheFansStayManual"
    start_program --minimized
    await_window 30
    # Clicks land on what was painted last, so the window has to be open.
    drive send "$WM_TRAYICON" 0 515 >/dev/null
    await_window 5 shown
    measure
    drive command 2006 , paint >/dev/null
    open_tab 4
    click_at "270 $((B + 246))" # the reset-on-exit switch
    expect_eq "ResetOnExit saved" 0 "$(setting ResetOnExit)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "fan 0 left manual" 1 "$(drive smc-get F0Md)"
    end

    finish_prefix
}

# The setup program (scripts/package) on a MacBook: silent install with the user's driver
# beside the setup, an upgrade over the running program, and both kinds of silent uninstall.
PACKAGE_DIR="$VENTRASOL_BUILD/package"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ventrasol'

install_package() { drive run 180 "C:\\setup\\$(basename "$SETUP") /S ${1:-}"; }
# The uninstaller copies itself away and returns at once; removal is done once the
# program's folder is gone (or after 30 s).
uninstall_package() { # [/PURGE]
    drive run 60 "\"C:\\Program Files\\Ventrasol\\uninstall.exe\" /S ${1:-}" >/dev/null
    local i
    for i in $(seq 1 150); do
        [ -d "$APP_DIR_UNIX" ] || return 0
        sleep 0.2
    done
}
# Every trace of Ventrasol that the uninstaller has to remove, one "name=state" word each.
traces() {
    local service='HKLM\System\CurrentControlSet\Services\applesmc'
    local lnk="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ventrasol.lnk"
    echo "folder=$([ -e "$APP_DIR_UNIX" ] && echo left || echo gone)" \
        "driver=$([ -e "$WINEPREFIX/drive_c/windows/system32/drivers/applesmc.sys" ] && echo left || echo gone)" \
        "shortcut=$([ -e "$lnk" ] && echo left || echo gone)" \
        "service=$(drive reg "$service" Type)" \
        "uninstall=$(drive reg "$UNINSTALL_KEY" DisplayName)" \
        "task=$(task)" "run=$(run_value)"
}
NO_TRACES="folder=gone driver=gone shortcut=gone service=absent uninstall=absent task=absent run=absent"

scenario_package() {
    SETUP=$(ls "$PACKAGE_DIR"/Ventrasol-Setup-*.exe 2>/dev/null | head -n 1)
    begin "Package.SetupProgramWasBuilt"
    [ -n "$SETUP" ] || fail "no setup program in $PACKAGE_DIR (scripts/package)"
    end
    [ -n "$SETUP" ] || return
    wine_prefix "$WORK/prefix-package"
    mkdir -p "$WINEPREFIX/drive_c/setup" "$WORK/cwd"
    cp "$SETUP" "$DOUBLES/applesmc.sys" "$WINEPREFIX/drive_c/setup/"
    APP_DIR_UNIX="$WINEPREFIX/drive_c/Program Files/Ventrasol"
    APP_EXE_WIN='C:\Program Files\Ventrasol\ventrasol.exe'
    wine_server_start
    hold_desktop
    set_identity "Apple Inc." "MacBookPro15,1" "Apple Inc." "Mac-937A206F2EE63C01"

    begin "Package.SilentInstallPutsEverythingInPlace"
    expect_eq "setup exit code" 0 "$(install_package)"
    local f
    for f in ventrasol.exe applesmc.sys uninstall.exe; do
        expect_eq "$f installed" yes "$([ -f "$APP_DIR_UNIX/$f" ] && echo yes)"
    done
    expect_eq "shortcut" yes "$([ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ventrasol.lnk" ] && echo yes)"
    # Strings as stored, terminator included.
    local name value
    while IFS='|' read -r name value; do
        expect_eq "$name" "$value<NUL>" "$(drive reg "$UNINSTALL_KEY" "$name" </dev/null)"
    done <<VALUES
DisplayName|Ventrasol
DisplayVersion|$(basename "$SETUP" .exe | sed 's/Ventrasol-Setup-//')
Publisher|Ventrasol
InstallLocation|C:\Program Files\Ventrasol
DisplayIcon|C:\Program Files\Ventrasol\ventrasol.exe,0
UninstallString|"C:\Program Files\Ventrasol\uninstall.exe"
QuietUninstallString|"C:\Program Files\Ventrasol\uninstall.exe" /S
VALUES
    local size
    size=$(drive reg "$UNINSTALL_KEY" EstimatedSize)
    [ "${size:-0}" -gt 100 ] 2>/dev/null || fail "EstimatedSize in KB: got '$size'"
    end

    begin "Package.InstalledProgramInstallsAndStartsTheDriver"
    start_program
    await_window 30 shown
    expect_eq "service type" 1 "$(drive reg 'HKLM\System\CurrentControlSet\Services\applesmc' Type)"
    expect_eq "driver copied" yes "$([ -f "$WINEPREFIX/drive_c/windows/system32/drivers/applesmc.sys" ] && echo yes)"
    expect_eq "fan 0 read through the driver" 0 "$(drive smc-get F0Md)"
    end

    begin "Package.UpgradeEndsTheProgramGracefullyAndKeepsTheSettings"
    drive command 2008 >/dev/null # autostart on: a task for the uninstaller to remove
    drive command 2005 >/dev/null # Ausgewogen: the program drives both fans
    expect_eq "fan 0 driven" 1 "$(drive smc-get F0Md)"
    expect_eq "setup exit code" 0 "$(install_package)"
    program_exit 20
    expect_eq "program exit code" 0 "$exit_code"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 handed back" 0 "$(drive smc-get F1Md)"
    expect_eq "ActiveProfile kept" 3 "$(setting ActiveProfile)"
    expect_eq "task kept" present "$(task)"
    end

    begin "Package.SilentUninstallKeepsOnlyTheSettings"
    uninstall_package
    expect_eq "traces" "$NO_TRACES" "$(traces)"
    expect_eq "settings kept" 3 "$(setting ActiveProfile)"
    end

    # /AUTOSTART leaves the Run value that the program turns into its logon task at start.
    begin "Package.AutostartOptionBecomesTheTaskAtTheFirstStart"
    expect_eq "setup exit code" 0 "$(install_package /AUTOSTART)"
    expect_eq "Run value" "\"$APP_EXE_WIN\" --minimized<NUL>" "$(run_value)"
    start_program --minimized
    await_window 30
    expect_eq "task" present "$(task)"
    expect_eq "Run value after start" absent "$(run_value)"
    end

    # The program ends through its own exit sequence (exit code 0 from its message loop); the
    # simulator cannot show the hand-back here, as its service is removed right after.
    begin "Package.SilentUninstallWithPurgeEndsTheProgramAndLeavesNothing"
    uninstall_package /PURGE
    program_exit 20
    expect_eq "program exit code" 0 "$exit_code"
    expect_eq "traces" "$NO_TRACES" "$(traces)"
    expect_eq "settings" absent "$(setting ActiveProfile)"
    end

    finish_prefix
}
