# The two machines of tier 3, sourced by tests/e2e/run (which defines begin/end/expect_eq,
# drive, start_program, the geometry and the pixel helpers).

TITLE_TAIL=" Thermal & Fan Control [Universal Windows]"
WM_CLOSE=16
WM_ENDSESSION=22
WM_POWERBROADCAST=536
WM_TRAYICON=1124
WM_COMMAND_TIMER=275
TICK=1001

tick() { drive send "$WM_COMMAND_TIMER" "$TICK" 0 >/dev/null; }
# Until the logon task's lookup at start-up has answered, an autostart command waits for it:
# the task's state once it is STATE, or whatever it is after ten seconds.
await_task() { # STATE
    local seen _
    for _ in $(seq 1 50); do
        seen=$(task)
        [ "$seen" == "$1" ] && break
        sleep 0.2
    done
    echo "$seen"
}
click_at() { drive click $* >/dev/null; } # "X Y" as one word, split here
# A tab's regions exist once it has been painted: switch, then paint before the next click.
open_tab() { drive click $(tab_point "$1") , paint >/dev/null; }

# fan_bar_checks NAME FAN FRACTION [COLOUR]: the fill of fan FAN's level bar ends where FRACTION
# says; a measured speed fills in AccentLight, one only asked for (the default COLOUR) in grey.
fan_bar_checks() {
    local cw=$((W / 2 - 6))
    local x=$((243 + $2 * (cw + 12)))
    local filled
    filled=$(awk -v w=$((cw - 32)) -v f="$3" 'BEGIN { v = w * f; printf "%d", (v >= 0) ? int(v + 0.5) : -int(-v + 0.5) }')
    expect_pixel "$1 bar fill" $((x + 16 + filled - 6)) $((B + 213)) "${4:-$ACCENT_LIGHT}"
    expect_pixel "$1 bar track" $((x + 16 + filled + 6)) $((B + 213)) "$TRACK"
}

# The live-status block of a PC whose fans the program does not drive: "Nur Anzeige" with a muted
# dot, never the green "Treiber OK". The dot stands left of the word, wherever its width puts it.
display_only_checks() {
    expect_in_row "no green state" 100 207 $((client_h - 132)) "$GOOD" absent
    expect_in_row "muted state dot" 110 141 $((client_h - 132)) "$TEXT_MUTED"
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
    # Above the captions: the buttons' fills.
    local bw
    bw=$(mode_bw)
    expect_pixel "System-Auto button active" $((257 + bw / 2)) 45 "$ACCENT"
    expect_pixel "Ausgewogen button inactive" $((257 + bw / 2)) 69 "$BUTTON"
    # The options tab, then its autostart switch: the same effect as command 2008.
    open_tab 4
    screenshot
    local o
    o=$(options_shift)
    click_at "270 $((B + o + 178))"
    expect_eq "task after the autostart switch" present "$(task)"
    drive paint >/dev/null
    screenshot
    expect_pixel "options tab active" 16 $((85 + 36 * 4)) "$ACCENT"
    expect_pixel "dashboard tab inactive" 16 85 "$SIDEBAR"
    expect_pixel "status card" $((W + 235)) $((B + 105)) "$CARD"
    expect_pixel "reload button" $((W + 68)) $((B + 28)) "$ACCENT"
    expect_pixel "autostart switch on" 264 $((B + o + 178)) "$ACCENT"
    expect_pixel "start minimised switch on" 264 $((B + o + 212)) "$ACCENT"
    expect_pixel "reset on exit switch on" 264 $((B + o + 246)) "$ACCENT"
    click_at "270 $((B + o + 178))"
    expect_eq "task after the switch again" absent "$(task)"
    drive paint >/dev/null
    screenshot
    expect_pixel "autostart switch off" 290 $((B + o + 178)) "$TOGGLE_OFF"
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

    begin "$p.ShortSwitchStartsHiddenAndOnlyARealSessionEndEnds"
    start_program -m
    expect_eq "hidden with -m" 0 "$(drive wait-window 30 | cut -d'|' -f2)"
    # The tray icon's callback: a single click does nothing, a double click opens the window.
    drive send "$WM_TRAYICON" 0 513 >/dev/null
    expect_eq "hidden after a single click on the icon" 0 "$(drive wait-window 5 | cut -d'|' -f2)"
    drive send "$WM_TRAYICON" 0 515 >/dev/null
    expect_eq "shown after a double click on the icon" 1 \
        "$(drive wait-window 5 shown | cut -d'|' -f2)"
    # A cancelled session end (wParam 0): the session goes on, and so does the program.
    drive send "$WM_ENDSESSION" 0 0 >/dev/null
    program_exit 1
    expect_eq "running after a cancelled WM_ENDSESSION" running "$exit_code"
    # The session really ends (wParam 1).
    drive send "$WM_ENDSESSION" 1 0 >/dev/null
    program_exit 20
    expect_eq "exit code after WM_ENDSESSION" 0 "$exit_code"
    expect_eq "window gone" gone "$(drive wait-gone 5)"
    end
}

scenario_generic() {
    # Installed where the setup puts it: only from there may it start with Windows.
    prepare_prefix generic 'Program Files\Ventrasol'
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
    display_only_checks
    # ASUS fans: fan 0 at its start speed 2100 of 1000..5200, never measured (grey); fan 1
    # shows the NVIDIA tachometer's 4600 of 1000..5000.
    fan_bar_checks "fan 0" 0 "$(awk 'BEGIN { print 1100 / 4200 }')" "$TEXT_MUTED"
    fan_bar_checks "fan 1" 1 0.9
    end

    begin "Generic.HardwareTabShowsTheInventoryCards"
    open_tab 3
    screenshot
    local half=$((W / 2))
    # The device card has five rows here (maker, product, board, BIOS, backend): at least 172
    # high, more where a long value wraps; the column's background shows below it.
    expect_pixel "device card, below its fifth row" $((half + 230)) $((B + 168)) "$CARD"
    column_has $((half + 230)) $((B + 172)) $((B + 300)) "$BACKGROUND" ||
        fail "no background below the device card within B+172..B+300"
    # The processor card (three rows, 124 high) goes to the right column.
    expect_pixel "processor card" $((2 * half + 236)) $((B + 120)) "$CARD"
    end

    begin "Generic.AClickOnANotificationOpensTheDashboard"
    # NIN_BALLOONUSERCLICK from the icon, while the hardware tab is open.
    drive send "$WM_TRAYICON" 0 1029 >/dev/null
    drive paint >/dev/null
    screenshot
    expect_pixel "dashboard tab active" 16 85 "$ACCENT"
    expect_pixel "hardware tab inactive" 16 193 "$SIDEBAR"
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
    expect_eq "task after start" present "$(await_task present)"
    expect_eq "Run value after start" absent "$(run_value)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    end

    # A copy anyone could replace gets no logon task (it would run elevated), and says why.
    begin "Generic.AutostartFromElsewhereRegistersNoTask"
    local installed_exe="$APP_EXE_WIN"
    mkdir -p "$WINEPREFIX/drive_c/Tools"
    cp "$EXE" "$WINEPREFIX/drive_c/Tools/"
    APP_EXE_WIN='C:\Tools\ventrasol.exe'
    expect_eq "the installed copy's task removed" deleted "$(drive task-delete Ventrasol)"
    start_program
    await_window 30 shown
    measure
    drive paint >/dev/null
    screenshot
    expect_pixel "notice before" $((W + 235)) 115 "$NOTICE_OK"
    drive command 2008 >/dev/null
    drive paint >/dev/null
    screenshot
    expect_pixel "notice after 2008" $((W + 235)) 115 "$NOTICE_ERROR"
    expect_eq "task after 2008" absent "$(task)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    APP_EXE_WIN="$installed_exe"
    end

    # Every start above ran with nvapi64.dll, atiadlxx.dll and atiadlxy.dll planted beside the
    # program and in its current directory; the GPU fan speed came from System32's stand-in.
    begin "Generic.PlantedLibrariesWereNeverLoaded"
    expect_eq "planted libraries loaded" "" "$(planted_loads)"
    end
    unset FAKE_NVAPI_TEMP FAKE_NVAPI_RPM
    finish_prefix
}

# AMD's library in System32, under each Overdrive generation in turn: the GPU's edge temperature
# reaches the dashboard's chart, its measured fan speed the second fan's bar, and its rows the
# sensors tab; the planted copies beside the program and in its current directory stay unloaded.
scenario_amd() {
    prepare_prefix amd
    cp "$DOUBLES/atiadlxx.dll" "$WINEPREFIX/drive_c/windows/system32/"
    set_identity "ASUSTeK COMPUTER INC." "ROG Strix G15" "ASUSTeK COMPUTER INC." "G513QY"
    local version edge rows
    for version in 8 7 5; do
        # Rows: edge, hotspot, memory and fan (7 and 8), or edge and fan (5); then the power.
        case $version in
        8) edge=88 rows=5 ;;
        7) edge=76 rows=5 ;;
        *) edge=64 rows=3 ;;
        esac
        export FAKE_ADL_VERSION=$version FAKE_ADL_EDGE=$edge FAKE_ADL_RPM=4600
        begin "Amd.Overdrive${version}ReadingsReachTheWindow"
        start_program
        await_window 30 shown
        measure
        for _ in 1 2 3 4 5; do tick; done
        drive paint >/dev/null
        screenshot
        local pl=$((243 + 16 + 46)) pt=$((B + 374 + 40)) pr=$((W + 243 - 16 - 62))
        local pb=$((client_h - 20 - 32))
        local y=$((pb - 1 - ((edge - 20) * (pb - pt - 1) + 40) / 80))
        expect_in_row "GPU line at $edge degrees" $((pr - 1 - (3 * (pr - pl - 1) + 149) / 299)) \
            $((pr - 1)) "$y" "$CAUTION"
        display_only_checks
        # ASUS's second fan spans 1000..5000: AMD's 4600 RPM, measured.
        fan_bar_checks "GPU fan" 1 0.9
        open_tab 2
        screenshot
        expect_pixel "sensor row 1 striped" 252 $((B + 68 + 24 + 10)) "$BUTTON"
        if [ $rows -gt 3 ]; then
            expect_pixel "sensor row 3 striped" 252 $((B + 68 + 72 + 10)) "$BUTTON"
        else
            expect_pixel "no sensor row 3" 252 $((B + 68 + 72 + 10)) "$CARD"
        fi
        drive post "$WM_CLOSE" 0 0 >/dev/null
        program_exit 20
        expect_eq "exit code" 0 "$exit_code"
        end
    done
    # The library is there, but no GPU answers, and there is nothing else to read.
    begin "Amd.WithoutAnyAnswerTheStateSaysKeineSensoren"
    export FAKE_ADL_FAIL=C
    start_program
    await_window 30 shown
    measure
    for _ in 1 2 3; do tick; done
    drive paint >/dev/null
    screenshot
    expect_in_row "no green state" 100 207 $((client_h - 132)) "$GOOD" absent
    expect_in_row "warning state dot" 100 121 $((client_h - 132)) "$WARNING"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    end
    begin "Amd.PlantedLibrariesWereNeverLoaded"
    expect_eq "planted libraries loaded" "" "$(planted_loads)"
    end
    unset FAKE_ADL_VERSION FAKE_ADL_EDGE FAKE_ADL_RPM FAKE_ADL_FAIL
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
    # The dot stands left of the state's text, wherever that text's width puts it.
    expect_in_row "driver dot" 125 150 $((client_h - 132)) "$GOOD"
    # Fan 0 turns at 2160 of 1200..6156, fan 1 at 2003 of 1200..5700.
    fan_bar_checks "fan 0" 0 "$(awk 'BEGIN { print 960 / 4956 }')"
    fan_bar_checks "fan 1" 1 "$(awk 'BEGIN { print 803 / 4500 }')"
    end

    begin "Apple.HistoryChartFollowsTheTemperature"
    # The chart's plot below the dashboard's cards (history_chart.h gives the geometry).
    local pl=$((243 + 16 + 46)) pt=$((B + 374 + 40)) pr=$((W + 243 - 16 - 62)) pb=$((client_h - 20 - 32))
    local y95=$((pb - 1 - (75 * (pb - pt - 1) + 40) / 80))
    age_x() { echo $((pr - 1 - ($1 * (pr - pl - 1) + 149) / 299)); }
    drive smc-set TCXC flt 95 >/dev/null
    for _ in 1 2 3 4 5; do tick; done
    drive paint >/dev/null
    screenshot
    expect_in_row "CPU line at 95 degrees, newest samples" "$(age_x 3)" "$(age_x 0)" "$y95" "$WARNING"
    drive smc-set TCXC flt 58.25 >/dev/null
    for _ in 1 2 3 4 5; do tick; done
    drive paint >/dev/null
    screenshot
    expect_in_row "CPU line left 95 degrees" "$(age_x 2)" "$(age_x 0)" "$y95" "$WARNING" absent
    # Older by the ticks sent and by the program's own timer, however slow the machine is.
    expect_in_row "95 degrees moved to older samples" "$(age_x 150)" "$(age_x 5)" "$y95" "$WARNING"
    end

    keyboard_and_automation_checks

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
    screenshot
    click_at "270 $((B + $(options_shift) + 246))" # the reset-on-exit switch
    expect_eq "ResetOnExit saved" 0 "$(setting ResetOnExit)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "fan 0 left manual" 1 "$(drive smc-get F0Md)"
    end

    language_checks
    fail_safe_checks
    t2_smc_checks
    older_smc_checks
    finish_prefix
}

# expect_lines WHAT TEXT LINE...: each LINE is a whole line of TEXT.
expect_lines() {
    local what="$1" text="$2" line
    shift 2
    for line in "$@"; do
        grep -qxF -- "$line" <<<"$text" || fail "$what: no line '$line'"
    done
}

# The keyboard and a screen reader, from outside: keys go in as the keyboard's, the automation
# tree is read by a client in another process. The program was just started, so the focus is
# on the tab list and the mode is System-Auto.
keyboard_and_automation_checks() {
    begin "Apple.TabAndSpaceSelectLeiseAndCtrlTabSwitchesTabs"
    expect_eq "keys" pressed "$(drive keys tab right right space)"
    expect_eq "ActiveProfile" 2 "$(setting ActiveProfile)"
    expect_eq "fan 0 forced" 1 "$(drive smc-get F0Md)"
    expect_eq "fan 1 forced" 1 "$(drive smc-get F1Md)"
    drive keys ctrl+tab , paint >/dev/null
    screenshot
    expect_pixel "curve tab active" 16 $((85 + 36)) "$ACCENT"
    expect_pixel "dashboard tab inactive" 16 85 "$SIDEBAR"
    end

    # The focus stayed on the mode just applied; the tree of the curve tab is read.
    begin "Apple.TheAutomationTreeNamesEveryControlAndReading"
    local tree
    tree=$(drive uia-tree)
    expect_lines "curve tab" "$tree" \
        "50018|tabs|Ansichten|0" \
        "  50019|tab.dashboard|Dashboard & Lüfter|0" "  50019|tab.curve|Temperatur-Kurve|0" \
        "  50019|tab.about|Über Ventrasol|0" \
        "50026|modes|Lüftermodus|0" "  50013|mode.auto|System-Auto|0" \
        "  50013|mode.curve|Temperatur-Kurve|0" "  50013|mode.quiet|Leise|1" \
        "  50013|mode.balanced|Ausgewogen|0" "  50013|mode.max|Maximal (Turbo)|0" \
        "  50013|mode.manual|Manuell (RPM)|0" \
        "50015|curve.p1.temperature|P1 Temperatur (°C)|0" \
        "50015|curve.p4.level|P4 Lüfterstufe (%)|0" \
        "50000|button.curveActivate|Kurve aktivieren|0" \
        "50000|button.curveReset|Zurücksetzen|0"
    grep -qE '^50026\|notice\|Profil .Leise. aktiviert' <<<"$tree" || fail "no notice group: $tree"
    drive keys ctrl+shift+tab >/dev/null
    tree=$(drive uia-tree)
    expect_lines "dashboard" "$tree" \
        "50015|fan1.manual|Linker Lüfter (CPU) – Manuelle Drehzahl-Vorgabe (RPM)|0" \
        "50015|fan2.manual|Rechter Lüfter (GPU) – Manuelle Drehzahl-Vorgabe (RPM)|0" \
        "50002|option.linkSliders|Lüfter-Schieberegler synchron koppeln|0" \
        "50000|button.applyManual|Manuelle RPM anwenden|0"
    # The readings as shown: the first fan's speed, the live status as a group of texts.
    grep -qE '^50020\|\|[0-9]+ RPM\|0$' <<<"$tree" || fail "no speed among the texts"
    grep -qE '^50026\|liveStatus\|LIVE-STATUS, Treiber OK, CPU Max, [0-9.]+ °C' <<<"$tree" ||
        fail "no live status group"
    drive keys ctrl+pgup ctrl+pgup >/dev/null
    tree=$(drive uia-tree)
    expect_lines "options" "$tree" \
        "50000|button.reload|Treiber neu laden|0" \
        "50002|option.autostart|Ventrasol beim Start von Windows automatisch ausführen (Autostart)|0" \
        "50002|option.minimized|Beim Autostart minimiert im Windows System-Tray starten (ohne Hauptfenster)|0" \
        "50002|option.resetOnExit|Beim Beenden der App Lüfter automatisch auf System-Standard (Auto) zurücksetzen|0"
    drive keys ctrl+tab ctrl+tab >/dev/null
    end
}

# The language follows Windows' (Wine's from the Unix locale): unchosen, an English Windows
# gets English names and a German one German. The German tree read above came from an English
# Windows (LANG=C.UTF-8) with "Language"="de": the choice wins over Windows.
language_checks() {
    begin "Apple.TheAutomationTreeSpeaksWindowsLanguageUnlessOneIsChosen"
    local locales lang tree
    if ! locales=$(wine_locales); then
        fail "the de_DE and en_US locales could not be compiled"
        end
        return
    fi
    wine reg delete "HKCU\\$SETTINGS_KEY" /v Language /f >/dev/null 2>&1
    for lang in en_US de_DE; do
        LOCPATH="$locales" LANG="$lang.UTF-8" start_program
        await_window 30 shown
        tree=$(drive uia-tree)
        if [ "$lang" == en_US ]; then
            expect_lines "English Windows" "$tree" \
                "50018|tabs|Views|0" "  50019|tab.driver|Driver & Options|0" \
                "50026|modes|Fan mode|0" "  50013|mode.quiet|Quiet|0" \
                "50015|fan1.manual|Left fan (CPU) – manual speed (RPM)|0"
        else
            expect_lines "German Windows" "$tree" \
                "50018|tabs|Ansichten|0" "  50019|tab.driver|Treiber & Optionen|0" \
                "50026|modes|Lüftermodus|0" "  50013|mode.quiet|Leise|0" \
                "50015|fan1.manual|Linker Lüfter (CPU) – Manuelle Drehzahl-Vorgabe (RPM)|0"
        fi
        drive post "$WM_CLOSE" 0 0 >/dev/null
        program_exit 20
    done
    wine reg add "HKCU\\$SETTINGS_KEY" /v Language /d de /f >/dev/null 2>&1
    end
}

# What the program does when it loses control of the fans, on the MacBook with the simulator.
# Each step starts the program afresh in Ausgewogen or Leise; the simulator's faults steer it.
start_in_mode() { # COMMAND
    drive smc-reset >/dev/null
    start_program --minimized
    await_window 30
    drive command "$1" >/dev/null
}

fail_safe_checks() {
    # The step before turned the hand-back at exit off; these steps need it on.
    wine reg add 'HKCU\Software\Ventrasol' /v ResetOnExit /t REG_DWORD /d 1 /f >/dev/null 2>&1
    begin "Apple.AStartWithForcedFansHandsThemBack"
    # The previous step left fan 0 forced, as a crashed or killed run would.
    drive smc-reset , smc-byte F0Md 1 w , smc-byte F1Md 1 w , smc-byte "FS! " 1 w >/dev/null
    start_program --minimized
    await_window 30
    expect_eq "fan 0 handed back at start" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 handed back at start" 0 "$(drive smc-get F1Md)"
    expect_eq "force mask cleared" 0 "$(drive smc-get "FS! ")"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    # With the firmware in control the start writes no fan key at all.
    drive smc-reset >/dev/null
    start_program --minimized
    await_window 30
    expect_eq "nothing written at a clean start" none "$(drive smc-writes)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    end

    begin "Apple.ACrashHandsBothFansBack"
    start_in_mode 2005
    expect_eq "balanced fan 0 mode" 1 "$(drive smc-get F0Md)"
    drive smc-byte "FS! " 1 w >/dev/null
    drive crash-thread >/dev/null
    program_exit 20
    expect_eq "crashed process ended" yes "$([ "$exit_code" != running ] && [ "$exit_code" != 0 ] && echo yes)"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 handed back" 0 "$(drive smc-get F1Md)"
    expect_eq "force mask cleared" 0 "$(drive smc-get "FS! ")"
    kill_program
    end

    # Windows runs the crash filter on the reserve the program keeps for it and ends the
    # process; Wine ends a thread whose stack overflowed without running any handler, and the
    # process lingers without its window. Either way nothing the run left forced survives the
    # next start.
    begin "Apple.AStackOverflowInTheWindowThreadLeavesNoFanForced"
    cp "$DOUBLES/stack_overflow_hook.dll" "$WINEPREFIX/drive_c/"
    start_in_mode 2005
    expect_eq "balanced fan 0 mode" 1 "$(drive smc-get F0Md)"
    expect_eq "overflow" posted "$(drive overflow-stack 'C:\stack_overflow_hook.dll')"
    expect_eq "window thread ended" gone "$(drive wait-gone 20)"
    kill_program
    if [ "$(drive smc-get F0Md)" != 0 ]; then
        start_program --minimized
        await_window 30
    fi
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 handed back" 0 "$(drive smc-get F1Md)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    end

    begin "Apple.FailingWritesAreShownAsErrors"
    drive smc-reset , smc-writable F0Tg 0 , smc-writable F1Tg 0 >/dev/null
    start_program --minimized
    await_window 30
    drive command 2004 >/dev/null
    expect_eq "ActiveProfile saved anyway" 2 "$(setting ActiveProfile)"
    drive send "$WM_TRAYICON" 0 515 >/dev/null
    await_window 5 shown
    measure
    drive paint >/dev/null
    screenshot
    expect_pixel "error notice" $((W + 235)) 115 "$NOTICE_ERROR"
    for _ in 1 2 3 4 5; do tick; done
    drive paint >/dev/null
    screenshot
    expect_in_row "driver dot shows the fault" 125 150 $((client_h - 132)) "$CRITICAL"
    drive smc-writable F0Tg 1 , smc-writable F1Tg 1 >/dev/null
    for _ in 1 2 3 4 5 6; do tick; done
    expect_eq "quiet target reached fan 0 at last" 1943.00 "$(drive smc-get F0Tg)"
    drive paint >/dev/null
    screenshot
    expect_in_row "driver dot recovered" 125 150 $((client_h - 132)) "$GOOD"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    end

    begin "Apple.LostCpuReadingsEndTheQuietMode"
    start_in_mode 2004
    local key
    for key in TCXC TC0F TC0P TC1C TC2C TC3C TC4C; do drive smc-remove "$key" >/dev/null; done
    for _ in 1 2 3 4 5 6; do tick; done
    expect_eq "ActiveProfile back to System-Auto" 0 "$(setting ActiveProfile)"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    end

    # The hand-back that ends the mode goes through the same dead SMC and fails; once the SMC
    # answers again the program repeats it by itself.
    begin "Apple.AHandBackThatFailedIsRepeatedWhenTheSmcAnswersAgain"
    start_in_mode 2004
    expect_eq "fan 0 forced" 1 "$(drive smc-get F0Md)"
    drive smc-faults 1 0 >/dev/null
    for _ in 1 2 3 4 5 6 7; do tick; done
    expect_eq "the mode ended" 0 "$(setting ActiveProfile)"
    drive smc-faults 0 0 >/dev/null
    for _ in 1 2 3 4 5 6 7; do tick; done
    expect_eq "fan 0 automatic" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 automatic" 0 "$(drive smc-get F1Md)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    end

    begin "Apple.OverTemperatureEndsQuietButNotMaximum"
    start_in_mode 2004
    drive smc-set TCXC flt 96 >/dev/null
    for _ in 1 2 3 4; do tick; done
    expect_eq "quiet: ActiveProfile 0" 0 "$(setting ActiveProfile)"
    expect_eq "quiet: fan 0 handed back" 0 "$(drive smc-get F0Md)"
    drive command 2006 >/dev/null # maximum: the fans already do all they can
    for _ in 1 2 3 4; do tick; done
    expect_eq "max: ActiveProfile kept" 4 "$(setting ActiveProfile)"
    expect_eq "max: fan 0 still forced" 1 "$(drive smc-get F0Md)"
    drive command 2003 >/dev/null # the curve at 96 degrees asks for 100 %
    for _ in 1 2 3 4; do tick; done
    expect_eq "curve: ActiveProfile kept" 1 "$(setting ActiveProfile)"
    expect_eq "curve: fan 0 target at maximum" 6156.00 "$(drive smc-get F0Tg)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    end

    begin "Apple.SleepHandsBackAndWakeAppliesTheModeAgain"
    start_in_mode 2005
    drive send "$WM_POWERBROADCAST" 4 0 >/dev/null
    expect_eq "fan 0 handed back before sleep" 0 "$(drive smc-get F0Md)"
    for _ in 1 2 3 4 5 6 7; do tick; done
    expect_eq "nothing forced while asleep" 0 "$(drive smc-get F0Md)"
    drive smc-reset >/dev/null # the firmware after the wake
    drive send "$WM_POWERBROADCAST" 18 0 >/dev/null
    expect_eq "balanced again after the wake" 1 "$(drive smc-get F0Md)"
    expect_eq "fan 0 target as the first time" 3678.00 "$(drive smc-get F0Tg)"
    expect_eq "fan 1 target as the first time" 3450.00 "$(drive smc-get F1Tg)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    end

    begin "Apple.CancelledSessionEndChangesNothing"
    start_in_mode 2005
    drive send "$WM_ENDSESSION" 0 0 >/dev/null
    program_exit 1
    expect_eq "still running" running "$exit_code"
    expect_eq "fan 0 still forced" 1 "$(drive smc-get F0Md)"
    drive send "$WM_ENDSESSION" 1 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    end

    begin "Apple.ReloadWithTheDeviceGoneHandsBackFirst"
    start_in_mode 2005
    drive send "$WM_TRAYICON" 0 515 >/dev/null
    await_window 5 shown
    measure
    drive paint >/dev/null
    open_tab 4
    drive smc-faults 0 1 >/dev/null # the device's name is gone: a new open fails
    click_at "$((W + 145)) $((B + 28))" # "Treiber neu laden"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    expect_eq "fan 1 handed back" 0 "$(drive smc-get F1Md)"
    drive paint >/dev/null
    screenshot
    expect_in_row "driver dot offline" 125 150 $((client_h - 132)) "$WARNING"
    expect_eq "ActiveProfile back to System-Auto" 0 "$(setting ActiveProfile)"
    drive smc-faults 0 0 >/dev/null
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    end
}

# A T2 Mac: the driver reaches the SMC through its memory window, and the program drives the
# fans through it as it does through the ports.
t2_smc_checks() {
    begin "AppleT2.TheFansAreDrivenThroughTheMemoryWindow"
    wine reg add 'HKCU\Software\Ventrasol' /v ResetOnExit /t REG_DWORD /d 1 /f >/dev/null 2>&1
    drive smc-reset , smc-mode 1 >/dev/null
    expect_eq "interface the driver chose" 1 "$(drive smc-query-mode)"
    start_program --minimized
    await_window 30
    drive command 2004 >/dev/null # Leise
    expect_eq "quiet fan 0 mode" 1 "$(drive smc-get F0Md)"
    expect_eq "quiet fan 0 target" 1943.00 "$(drive smc-get F0Tg)"
    expect_eq "quiet fan 1 target" 1875.00 "$(drive smc-get F1Tg)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    drive smc-reset >/dev/null
    expect_eq "back on the ports" 0 "$(drive smc-query-mode)"
    end
}

# fpe2 bytes of a whole speed, as "HI LO".
fpe2() { printf '%02X %02X' $(($1 * 4 >> 8)) $(($1 * 4 & 255)); }

# The SMC generation before T2: fpe2 fan speeds and the "FS! " mask instead of mode keys.
older_smc_checks() {
    begin "AppleOlder.DashboardShowsTheFpe2SpeedsAndRanges"
    drive smc-table 1 >/dev/null
    wine reg add 'HKCU\Software\Ventrasol' /v ResetOnExit /t REG_DWORD /d 1 /f >/dev/null 2>&1
    start_program
    await_window 30 shown
    measure
    tick
    drive paint >/dev/null
    screenshot
    # Fan 0 turns at 1800 of 1200..6200, fan 1 at 1900 of 1300..6500.
    fan_bar_checks "fan 0" 0 "$(awk 'BEGIN { print 600 / 5000 }')"
    fan_bar_checks "fan 1" 1 "$(awk 'BEGIN { print 600 / 5200 }')"
    expect_eq "start forces nothing" "00 00" "$(drive smc-raw FS!)"
    end

    # Several driver commands per call keep this short: one line each, joined with "|".
    begin "AppleOlder.ModesWriteFpe2TargetsAndTheMask"
    local mode id f0 f1 manual0 manual1
    for mode in "2004 1950 2080" "2005 3700 3900" "2006 6200 6500"; do
        read -r id f0 f1 <<<"$mode"
        expect_eq "$id, then System-Auto" "0|$(fpe2 "$f0")|$(fpe2 "$f1")|00 03|0|00 00|" \
            "$(drive command "$id" , smc-raw F0Tg , smc-raw F1Tg , smc-raw FS! , \
                command 2002 , smc-raw FS! | tr '\n' '|')"
    done
    manual0=$(setting ManualRPM0)
    manual1=$(setting ManualRPM1)
    manual0=$((manual0 < 1200 ? 1200 : manual0 > 6200 ? 6200 : manual0))
    manual1=$((manual1 < 1300 ? 1300 : manual1 > 6500 ? 6500 : manual1))
    expect_eq "manual" "0|$(fpe2 "$manual0")|$(fpe2 "$manual1")|00 03|" \
        "$(drive command 2007 , smc-raw F0Tg , smc-raw F1Tg , smc-raw FS! | tr '\n' '|')"
    end

    begin "AppleOlder.CurveFollowsTemperatureWithHysteresis"
    # 70 degrees: 55 % of each range; 70.3 stays within 45 RPM of that; 71: 57.5 %.
    local step expected t
    for step in "70 3950 4160" "70.3 3950 4160" "71 4075 4290"; do
        read -r t f0 f1 <<<"$step"
        expected="$(fpe2 "$f0")|$(fpe2 "$f1")|"
        [ "$t" == 70 ] && drive command 2003 >/dev/null
        expect_eq "curve at $t" "$expected" \
            "$(drive smc-set TC0P sp78 "$t" , send "$WM_COMMAND_TIMER" "$TICK" 0 , \
                smc-raw F0Tg , smc-raw F1Tg | tail -n 2 | tr '\n' '|')"
    done
    end

    begin "AppleOlder.CloseHandsBothFansBack"
    expect_eq "forced before closing" "00 03" "$(drive smc-raw FS!)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "handed back" "00 00" "$(drive smc-raw FS!)"
    end
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
    expect_eq "task registered" present "$(await_task present)"
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

    # Another tool's driver service of the same name and path: the program uses it as it is.
    local drivers='C:\windows\system32\drivers'
    cp "$DOUBLES/applesmc.sys" "$WINEPREFIX/drive_c/windows/system32/drivers/"
    drive run 30 "C:\windows\system32\sc.exe create applesmc type= kernel start= demand binPath= $drivers\applesmc.sys" >/dev/null

    # /AUTOSTART leaves the Run value that the program turns into its logon task at start.
    begin "Package.AutostartOptionBecomesTheTaskAtTheFirstStart"
    expect_eq "setup exit code" 0 "$(install_package /AUTOSTART)"
    expect_eq "Run value" "\"$APP_EXE_WIN\" --minimized<NUL>" "$(run_value)"
    start_program --minimized
    await_window 30
    expect_eq "task" present "$(await_task present)"
    expect_eq "Run value after start" absent "$(run_value)"
    expect_eq "the other tool's service in use" 0 "$(drive smc-get F0Md)"
    expect_eq "and left unmarked" absent "$(drive reg 'HKLM\System\CurrentControlSet\Services\applesmc' Description)"
    end

    # The program ends through its own exit sequence (exit code 0 from its message loop). Of
    # the driver only what the program set up itself goes: the other tool's service stays.
    begin "Package.SilentUninstallWithPurgeEndsTheProgramAndLeavesOnlyTheOtherToolsService"
    uninstall_package /PURGE
    program_exit 20
    expect_eq "program exit code" 0 "$exit_code"
    expect_eq "traces" \
        "folder=gone driver=left shortcut=gone service=1 uninstall=absent task=absent run=absent" \
        "$(traces)"
    expect_eq "settings" absent "$(setting ActiveProfile)"
    end

    # Without a driver file beside the setup an Apple machine gets Ventrasol's own driver, the
    # one scripts/package put into the setup, and any other machine none.
    begin "Package.AnAppleMachineGetsVentrasolsDriverAndOthersNone"
    # A machine without the other tool: its service and file from the scenario above go first.
    drive run 30 "C:\windows\system32\sc.exe stop applesmc" >/dev/null
    drive run 30 "C:\windows\system32\sc.exe delete applesmc" >/dev/null
    rm -f "$WINEPREFIX/drive_c/windows/system32/drivers/applesmc.sys"
    rm -f "$WINEPREFIX/drive_c/setup/applesmc.sys"
    expect_eq "setup exit code" 0 "$(install_package)"
    expect_eq "driver beside the program" same \
        "$(cmp -s "$PACKAGE_DIR/applesmc.sys" "$APP_DIR_UNIX/applesmc.sys" && echo same)"
    uninstall_package /PURGE
    set_identity "ASUSTeK COMPUTER INC." "ROG Zephyrus G14" "ASUSTeK COMPUTER INC." "GA401QM"
    expect_eq "setup exit code" 0 "$(install_package)"
    expect_eq "driver on another machine" absent \
        "$([ -e "$APP_DIR_UNIX/applesmc.sys" ] && echo present || echo absent)"
    uninstall_package /PURGE
    expect_eq "traces" "$NO_TRACES" "$(traces)"
    end

    finish_prefix
}

# The command line, the power source and the measurement log, on the MacBook with the simulator.
# await_smc KEY VALUE SECONDS: waits until the simulator's key reads VALUE; prints what it read.
await_smc() {
    local seen i
    for i in $(seq 1 $(($3 * 5))); do
        seen=$(drive smc-get "$1")
        [ "$seen" == "$2" ] && break
        sleep 0.2
    done
    echo "$seen"
}
log_files() { find "$WINEPREFIX/drive_c/users" -path '*/AppData/Local/Ventrasol/Protokoll/ventrasol-*.csv' 2>/dev/null; }
CSV_HEADER="Zeit,Modus,CPU (°C),GPU (°C),Leistung (W),Lüfter 1 (RPM),Lüfter 1 Soll (RPM),Lüfter 2 (RPM),Lüfter 2 Soll (RPM),Ereignis"

scenario_automation() {
    prepare_prefix automation 'Program Files\Ventrasol'
    cp "$DOUBLES/applesmc.sys" "$APP_DIR_UNIX/"
    set_identity "Apple Inc." "MacBookPro15,1" "Apple Inc." "Mac-937A206F2EE63C01"
    local exe="\"$APP_EXE_WIN\""

    begin "Automation.AnUnknownModeExitsWithTwoAndStartsNothing"
    expect_eq "exit code" 2 "$(drive run 20 "$exe --mode bogus")"
    expect_eq "exit code of an unknown switch" 2 "$(drive run 20 "$exe --fast")"
    expect_eq "no window" gone "$(drive wait-gone 1)"
    expect_eq "nothing saved" absent "$(setting ActiveProfile)"
    end

    begin "Automation.ModeMaxWithNoneRunningStartsItAtTheMaximum"
    # Options as a user would have left them: the log on, the switching by power source on.
    wine reg add 'HKCU\Software\Ventrasol' /v CsvLog /t REG_DWORD /d 1 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Ventrasol' /v PowerSourceSwitch /t REG_DWORD /d 1 /f >/dev/null 2>&1
    start_program --minimized --mode max
    await_window 30
    expect_eq "fan 0 at its maximum" 6156.00 "$(await_smc F0Tg 6156.00 20)"
    expect_eq "fan 1 at its maximum" 5700.00 "$(drive smc-get F1Tg)"
    expect_eq "fan 0 forced" 1 "$(drive smc-get F0Md)"
    expect_eq "ActiveProfile" 4 "$(setting ActiveProfile)"
    tick # the second a running program lets pass before anything else happens
    end

    begin "Automation.ModeQuietIsHandedToTheRunningProgram"
    local first_pid=$program_pid
    expect_eq "second process's exit code" 0 "$(drive run 40 "$exe --mode quiet")"
    expect_eq "quiet fan 0 target" 1943.00 "$(drive smc-get F0Tg)"
    expect_eq "quiet fan 1 target" 1875.00 "$(drive smc-get F1Tg)"
    expect_eq "fan 0 forced" 1 "$(drive smc-get F0Md)"
    expect_eq "ActiveProfile" 2 "$(setting ActiveProfile)"
    expect_eq "the first program runs on" yes "$(kill -0 "$first_pid" 2>/dev/null && echo yes)"
    # Wine has no battery: a change of the power status switches nothing.
    drive send "$WM_POWERBROADCAST" 10 0 >/dev/null
    expect_eq "still quiet after a power status change" 1943.00 "$(drive smc-get F0Tg)"
    expect_eq "an unknown mode" 2 "$(drive run 20 "$exe --mode bogus")"
    expect_eq "still quiet after it" 1943.00 "$(drive smc-get F0Tg)"
    expect_eq "ActiveProfile after it" 2 "$(setting ActiveProfile)"
    end

    begin "Automation.TheCsvLogHasAHeaderAndRows"
    for _ in $(seq 1 16); do tick; done
    local file="" i
    for i in $(seq 1 50); do
        file=$(log_files | head -n 1)
        [ -n "$file" ] && [ "$(wc -l <"$file")" -ge 3 ] && break
        sleep 0.1
    done
    if [ -z "$file" ]; then
        fail "no log file"
    else
        expect_eq "file name" "ventrasol-$(date +%Y-%m-%d).csv" "$(basename "$file")"
        expect_eq "header" "$CSV_HEADER" "$(head -n 1 "$file")"
        local rows
        rows=$(tail -n +2 "$file")
        [ "$(wc -l <<<"$rows")" -ge 2 ] || fail "fewer than two rows: $rows"
        expect_eq "ten cells in every row" 10 "$(awk -F, '{ print NF }' <<<"$rows" | sort -u | tr '\n' ' ' | sed 's/ $//')"
        grep -q '^[0-9-]*T[0-9:]*[+-][0-9:]*,Leise,[0-9.]*,[0-9.]*,[0-9.]*,[0-9]*,1943,[0-9]*,1875,Modus Leise$' <<<"$rows" ||
            fail "no row of the quiet mode with its targets and the change in the event column: $rows"
        grep -q ',Maximal (Turbo),.*,Modus Maximal (Turbo)$' <<<"$rows" ||
            fail "no row of the start's mode with its change in the event column: $rows"
    fi
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    end

    begin "Automation.AnUnwritableLogFolderLeavesTheFansAndTheWindowAlone"
    local folder
    folder=$(dirname "$(log_files | head -n 1)")
    rm -rf "$folder"
    echo "not a folder" >"$folder" # the log cannot make its folder
    start_program --mode quiet
    await_window 30 shown
    expect_eq "quiet fan 0 target" 1943.00 "$(await_smc F0Tg 1943.00 20)"
    measure
    for _ in $(seq 1 20); do tick; done
    drive paint >/dev/null
    screenshot
    expect_pixel "the log's error notice" $((W + 235)) 115 "$NOTICE_ERROR"
    expect_pixel "dashboard still drawn" $((243 + (W - 16) / 3 - 8)) $((B + 50)) "$CARD"
    expect_eq "window shown" 1 "$(drive wait-window 5 shown | cut -d'|' -f2)"
    expect_eq "fan 0 still quiet" 1943.00 "$(drive smc-get F0Tg)"
    expect_eq "fan 0 still forced" 1 "$(drive smc-get F0Md)"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    expect_eq "fan 0 handed back" 0 "$(drive smc-get F0Md)"
    end
    finish_prefix
}

# A 1280 x 800 screen, as on many notebooks that run Windows: the window opens inside the work
# area, live-status block included.
scenario_small_screen() {
    xvfb_stop
    XVFB_SIZE=1280x800 xvfb_start || return
    prepare_prefix small
    begin "SmallScreen.WindowLiesInsideTheWorkArea"
    start_program
    await_window 30 shown
    local wl wt ww wh al at aw ah
    read -r wl wt ww wh < <(drive window)
    read -r al at aw ah < <(drive workarea)
    [ -n "$ww" ] && [ -n "$aw" ] || fail "no window or work area"
    if [ -n "$ww" ] && [ -n "$aw" ]; then
        [ "$wl" -ge "$al" ] && [ "$wt" -ge "$at" ] && [ $((wl + ww)) -le $((al + aw)) ] &&
            [ $((wt + wh)) -le $((at + ah)) ] ||
            fail "window $wl $wt $ww $wh outside work area $al $at $aw $ah"
        expect_eq "window as wide as designed" 740 "$ww"
    fi
    measure
    drive paint >/dev/null
    screenshot
    # The live-status card at the bottom of the client area is on the screen.
    expect_pixel "live-status card" 112 $((client_h - 20)) "$CARD"
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
    expect_eq "exit code" 0 "$exit_code"
    end
    finish_prefix
    xvfb_stop
    xvfb_start
}

# Not a test: every tab of both machines as build/screens/*.png (scripts/run --screens).
shoot_tabs() { # NAME
    local tab
    measure
    tick
    for tab in 0 1 2 3 4 5; do
        open_tab "$tab"
        tick
        drive paint >/dev/null
        screenshot
        convert "$shot" -crop "${client_w}x${client_h}+${client_x}+${client_y}" +repage \
            "$SCREENS/$1-tab$tab.png"
        [ -s "$SCREENS/$1-tab$tab.png" ] || fail "no screenshot of tab $tab"
    done
    drive post "$WM_CLOSE" 0 0 >/dev/null
    program_exit 20
}
scenario_screens() {
    SCREENS="$VENTRASOL_BUILD/screens"
    mkdir -p "$SCREENS"
    # SCREENS_LANGUAGE=en: the window in English, its pictures named with "-en".
    local lang="${SCREENS_LANGUAGE:-de}" suffix=""
    [ "$lang" == de ] || suffix="-$lang"
    begin "Screens.Apple"
    # Installed as the installer does: the driver beside the program is trusted only there.
    prepare_prefix screens-apple 'Program Files\Ventrasol'
    cp "$DOUBLES/applesmc.sys" "$APP_DIR_UNIX/"
    set_identity "Apple Inc." "MacBookPro15,1" "Apple Inc." "Mac-937A206F2EE63C01"
    wine reg add "HKCU\\$SETTINGS_KEY" /v Language /d "$lang" /f >/dev/null 2>&1
    start_program
    await_window 30 shown
    # A few seconds of history with a warming CPU.
    local t
    for t in 52 56 61 66 70 73; do drive smc-set TCXC flt $t >/dev/null; tick; done
    shoot_tabs "apple$suffix"
    finish_prefix
    end
    begin "Screens.Generic"
    # A PC with an AMD graphics card: its library in System32, as its driver installs it.
    prepare_prefix screens-generic
    cp "$DOUBLES/atiadlxx.dll" "$WINEPREFIX/drive_c/windows/system32/"
    export FAKE_ADL_EDGE=61 FAKE_ADL_RPM=2900
    set_identity "ASUSTeK COMPUTER INC." "ROG Strix G15" "ASUSTeK COMPUTER INC." "G513QY"
    wine reg add "HKCU\\$SETTINGS_KEY" /v Language /d "$lang" /f >/dev/null 2>&1
    start_program
    await_window 30 shown
    drive command 2004 >/dev/null # "Leise": recorded, and the notice says it only shows
    shoot_tabs "generic$suffix"
    unset FAKE_ADL_EDGE FAKE_ADL_RPM
    finish_prefix
    end
    # Wine never reports Windows' high-contrast mode: these are painted by the program's
    # painters through GDI into bitmaps, in the colours of the two high-contrast schemes.
    begin "Screens.HighContrast"
    wine_prefix "$WORK/prefix-screens-contrast"
    wine_server_start
    local ppm
    (cd "$SCREENS" && wine "$BUILD/tests/contrast_screens.exe" >/dev/null 2>&1) ||
        fail "contrast_screens failed"
    for ppm in "$SCREENS"/hc-*.ppm; do
        [ -f "$ppm" ] || continue
        convert "$ppm" "${ppm%.ppm}.png" && rm -f "$ppm"
    done
    [ -s "$SCREENS/hc-black-apple-tab0.png" ] || fail "no high-contrast pictures"
    wine_server_stop
    end
}
