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

    begin "$p.AutostartCommandsWriteTheRunValue"
    drive command 2008 >/dev/null
    expect_eq "Run value after 2008" "\"$APP_EXE_WIN\" --minimized<NUL>" "$(run_value)"
    drive command 2009 >/dev/null
    expect_eq "Run value after 2009" "\"$APP_EXE_WIN\"<NUL>" "$(run_value)"
    expect_eq "StartMinimized after 2009" 0 "$(setting StartMinimized)"
    drive command 2009 >/dev/null
    expect_eq "Run value after second 2009" "\"$APP_EXE_WIN\" --minimized<NUL>" "$(run_value)"
    drive command 2008 >/dev/null
    expect_eq "Run value after second 2008" absent "$(run_value)"
    drive command 2009 >/dev/null
    expect_eq "Run value after 2009 with autostart off" absent "$(run_value)"
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
    expect_eq "Run value after the autostart switch" "\"$APP_EXE_WIN\" --minimized<NUL>" "$(run_value)"
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
    expect_eq "Run value after the switch again" absent "$(run_value)"
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
    cp "$DOUBLES/nvapi64.dll" "$WINEPREFIX/drive_c/Ventrasol/"
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
    # The dot stands left of the state's text, wherever that text's width puts it.
    expect_in_row "driver dot" 125 150 $((client_h - 132)) "$GOOD"
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
    unset FAKE_NVAPI_TEMP FAKE_NVAPI_RPM
    finish_prefix
}

scenario_apple() {
    prepare_prefix apple
    cp "$DOUBLES/applesmc.sys" "$WINEPREFIX/drive_c/Ventrasol/"
    set_identity "Apple Inc." "MacBookPro15,1" "Apple Inc." "Mac-937A206F2EE63C01"

    begin "Apple.StartInstallsTheDriverService"
    start_program
    expect_eq "title and visibility" "Ventrasol — MacBookPro15,1$TITLE_TAIL|1" \
        "$(drive wait-window 30 shown)"
    expect_eq "driver copied" yes \
        "$([ -f "$WINEPREFIX/drive_c/windows/system32/drivers/applesmc.sys" ] && echo yes)"
    local service='HKLM\System\CurrentControlSet\Services\applesmc'
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
    expect_in_row "95 degrees moved to older samples" "$(age_x 40)" "$(age_x 5)" "$y95" "$WARNING"
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
    begin "Screens.Apple"
    prepare_prefix screens-apple
    cp "$DOUBLES/applesmc.sys" "$WINEPREFIX/drive_c/Ventrasol/"
    set_identity "Apple Inc." "MacBookPro15,1" "Apple Inc." "Mac-937A206F2EE63C01"
    start_program
    await_window 30 shown
    # A few seconds of history with a warming CPU.
    local t
    for t in 52 56 61 66 70 73; do drive smc-set TCXC flt $t >/dev/null; tick; done
    shoot_tabs apple
    finish_prefix
    end
    begin "Screens.Generic"
    prepare_prefix screens-generic
    cp "$DOUBLES/nvapi64.dll" "$WINEPREFIX/drive_c/Ventrasol/"
    export FAKE_NVAPI_TEMP=61 FAKE_NVAPI_RPM=4600
    set_identity "ASUSTeK COMPUTER INC." "ROG Zephyrus G14" "ASUSTeK COMPUTER INC." "GA401QM"
    start_program
    await_window 30 shown
    shoot_tabs generic
    unset FAKE_NVAPI_TEMP FAKE_NVAPI_RPM
    finish_prefix
    end
}
