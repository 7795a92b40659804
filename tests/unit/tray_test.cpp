#include "app/commands.h"
#include "app/tray.h"
#include "app/window_events.h"
#include "fakes/app_fixture.h"
#include "fakes/recording_controller.h"

#include <string>
#include <vector>

namespace {

class TrayTest : public FakeAppTest {};

Readings readingsOf(double cpu, double gpu, double watts, std::vector<double> rpms) {
    Readings r;
    r.cpuTemp = cpu;
    r.gpuTemp = gpu;
    r.powerWatts = watts;
    for (std::size_t i = 0; i < rpms.size(); ++i)
        r.fanList.push_back(makeFan(static_cast<std::int32_t>(i), 1000, 6000, rpms[i]));
    return r;
}

} // namespace

TEST(TrayTooltipTest, TheTipListsTheTemperaturesAndEveryFanWithin127Characters) {
    Readings lost = readingsOf(61, 48, 23.25, {2150.4, 1999.5});
    lost.cpuTempLost = true;
    lost.quality.gpuTempFallback = true;
    lost.quality.powerEstimated = true;
    lost.fanList[1].measured = false;
    Readings noPower = readingsOf(-5.2, 0, 0, {});
    noPower.powerLost = true;
    const struct {
        Readings readings;
        std::wstring tip;
    } cases[] = {
        {readingsOf(61, 48, 23.25, {2150.4, 1999.5}),
         L"Ventrasol — CPU 61°C · GPU 48°C · 23.2 W\nLüfter 1: 2150 RPM\nLüfter 2: 2000 RPM"},
        // Lost, stand-in and unmeasured values are not shown as readings.
        {lost, L"Ventrasol — CPU -- · GPU -- · ~23.2 W\nLüfter 1: 2150 RPM\nLüfter 2: --"},
        {noPower, L"Ventrasol — CPU -5°C · GPU 0°C · --"},
        // Four fans at their largest still fit.
        {readingsOf(100, 100, 250.5, {9999, 9999, 9999, 9999}),
         L"Ventrasol — CPU 100°C · GPU 100°C · 250.5 W\nLüfter 1: 9999 RPM\nLüfter 2: 9999 "
         L"RPM\nLüfter 3: 9999 RPM\nLüfter 4: 9999 RPM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatTrayTooltip(c.readings), c.tip);

    // A fan line that would not fit is left out whole; a first line too long is cut to 127.
    const std::wstring tip = formatTrayTooltip(readingsOf(1, 2, 3, std::vector<double>(9, 1234)));
    EXPECT_LE(tip.size(), TRAY_TIP_CAPACITY - 1);
    EXPECT_EQ(tip.substr(tip.size() - 19), L"\nLüfter 4: 1234 RPM");
    EXPECT_EQ(formatTrayTooltip(readingsOf(1e40, 1e40, 1e40, {1})).size(), TRAY_TIP_CAPACITY - 1);
}

TEST_F(TrayTest, AddingShowsTheInitialTipAndModifyingTheLiveOne) {
    addTrayIcon(app.trayIcon);
    EXPECT_TRUE(app.trayIcon.added);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"trayAdd"}));
    EXPECT_EQ(host.tips.back(), L"Ventrasol — Initialisiere...");
    refreshTrayTooltip(app.trayIcon, readingsOf(55, 44, 19.96, {1800}));
    EXPECT_EQ(host.calls.back(), "trayModify");
    EXPECT_EQ(host.tips.back(), L"Ventrasol — CPU 55°C · GPU 44°C · 20.0 W\nLüfter 1: 1800 RPM");
    EXPECT_EQ(app.trayIcon.tip, host.tips.back());
    // Steady readings leave the shell alone; the next change reaches it.
    const std::size_t calls = host.calls.size();
    refreshTrayTooltip(app.trayIcon, readingsOf(54.8, 44, 19.99, {1800.2}));
    EXPECT_EQ(host.calls.size(), calls);
    refreshTrayTooltip(app.trayIcon, readingsOf(55, 44, 20, {1810}));
    EXPECT_EQ(host.calls.size(), calls + 1);
    removeTrayIcon(app.trayIcon);
    EXPECT_EQ(host.calls.back(), "trayDelete");
    EXPECT_FALSE(app.trayIcon.added);
}

TEST_F(TrayTest, ARefusedAddStillCountsAsAddedAndNoHostAddsNothing) {
    host.trayResult = false;
    addTrayIcon(app.trayIcon);
    EXPECT_TRUE(app.trayIcon.added);
    app = AppState{};
    host.calls.clear();
    platform.windowHost = nullptr;
    addTrayIcon(app.trayIcon);
    refreshTrayTooltip(app.trayIcon, readingsOf(1, 2, 3, {4}));
    refreshTrayIcon(app.trayIcon, app.settings, app.regulation);
    removeTrayIcon(app.trayIcon);
    showTrayMenu(app.settings);
    handleTrayEvent(app, TRAY_EVENT_RBUTTONUP);
    handleTrayEvent(app, TRAY_EVENT_BALLOON_CLICK);
    toggleTrayTemperature(app);
    EXPECT_FALSE(app.trayIcon.added);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TrayTest, TheMenuHasFourteenEntriesWithTheirChecks) {
    const std::vector<std::uint32_t> ids = {2001, 0, 2002, 2003, 2004, 2005, 2006,
                                            2007, 0, 2008, 2009, 2021, 0,    2010};
    const std::vector<std::wstring> texts = {L"Ventrasol Dashboard öffnen",
                                             L"",
                                             L"System-Automatik",
                                             L"Temperatur-Kurve",
                                             L"Leise",
                                             L"Ausgewogen",
                                             L"Maximal (Turbo)",
                                             L"Manuell",
                                             L"",
                                             L"Mit Windows starten",
                                             L"Minimiert starten",
                                             L"Temperatur im Tray-Symbol anzeigen",
                                             L"",
                                             L"Beenden"};
    for (int mode = -1; mode <= 6; ++mode) {
        app.settings.mode = static_cast<ControlMode>(mode);
        const std::vector<MenuEntry> menu = buildTrayMenu(app.settings);
        ASSERT_EQ(menu.size(), 14u);
        for (std::size_t i = 0; i < menu.size(); ++i) {
            EXPECT_EQ(menu[i].id, ids[i]);
            EXPECT_EQ(menu[i].text, texts[i]);
            EXPECT_EQ(menu[i].separator, ids[i] == 0);
            const bool modeItem = i >= 2 && i <= 7;
            const bool checked = modeItem && static_cast<int>(i) - 2 == mode;
            if (i < 9 || i > 11) {
                EXPECT_EQ(menu[i].checked, checked) << "mode " << mode << " entry " << i;
            }
        }
    }
    // The new entry's command switches the option and saves it.
    handleCommand(app, CMD_TOGGLE_TRAY_TEMPERATURE);
    EXPECT_FALSE(app.settings.tray.temperatureInIcon);
    EXPECT_EQ(registry.dword(RegistryRoot::CurrentUser, L"Software\\Ventrasol", L"TrayTemperature"),
              0u);
    // The three options are checked by their own flags, independently of each other.
    for (int bits = 0; bits < 8; ++bits) {
        app.settings.autostartEnabled = bits & 1;
        app.settings.startMinimized = bits & 2;
        app.settings.tray.temperatureInIcon = bits & 4;
        const std::vector<MenuEntry> menu = buildTrayMenu(app.settings);
        EXPECT_EQ(menu[9].checked, app.settings.autostartEnabled);
        EXPECT_EQ(menu[10].checked, app.settings.startMinimized);
        EXPECT_EQ(menu[11].checked, app.settings.tray.temperatureInIcon);
    }
}

TEST_F(TrayTest, EventsOpenTheWindowTheDashboardOrTheMenuAndNothingElse) {
    app.settings.mode = ControlMode::Quiet;
    handleTrayEvent(app, TRAY_EVENT_RBUTTONUP);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"setForeground", "trackPopupMenu"}));
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0], buildTrayMenu(app.settings));
    EXPECT_TRUE(host.menus[0][4].checked);

    host.calls.clear();
    app.ui.activeTab = 3;
    handleTrayEvent(app, TRAY_EVENT_LBUTTONDBLCLK);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"showMainWindow"}));
    EXPECT_EQ(app.ui.activeTab, 3) << "a double click opens the window as it was";
    host.calls.clear();
    // A click on a notification opens the window at the dashboard.
    handleTrayEvent(app, TRAY_EVENT_BALLOON_CLICK);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"showMainWindow", "invalidate 0"}));
    EXPECT_EQ(app.ui.activeTab, 0);
    host.calls.clear();
    for (std::uint32_t other :
         {0x0200u, 0x0201u, 0x0202u, 0x0204u, 0x0206u, 0u, 0x0402u, 0x0404u, WM_TRAYICON})
        handleTrayEvent(app, other);
    EXPECT_TRUE(host.calls.empty());
}
