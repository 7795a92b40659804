#include "app/commands.h"
#include "app/tray.h"
#include "fakes/app_fixture.h"

#include <string>
#include <vector>

namespace {

class TrayTest : public FakeAppTest {};

} // namespace

TEST(TrayTooltipTest, TheTextIsByteExactAndCutAt127Characters) {
    EXPECT_EQ(formatTrayTooltip(2150.4, 61.0, 48.0, 23.25),
              L"Ventrasol — 2150 RPM · CPU 61°C · GPU 48°C (23.2 W)");
    EXPECT_EQ(formatTrayTooltip(0, -5.2, 0, 0), L"Ventrasol — 0 RPM · CPU -5°C · GPU 0°C (0.0 W)");
    // 1e22 prints exactly on every C library; the whole text would be 133 characters.
    const std::wstring n = L"10000000000000000000000";
    const std::wstring full =
        L"Ventrasol — " + n + L" RPM · CPU " + n + L"°C · GPU " + n + L"°C (" + n + L".0 W)";
    ASSERT_EQ(full.size(), 133u);
    EXPECT_EQ(formatTrayTooltip(1e22, 1e22, 1e22, 1e22), full.substr(0, TRAY_TIP_CAPACITY - 1));
}

TEST_F(TrayTest, AddingShowsTheInitialTipAndModifyingTheLiveOne) {
    addTrayIcon(app.trayIcon);
    EXPECT_TRUE(app.trayIcon.added);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"trayAdd"}));
    EXPECT_EQ(host.tips.back(), L"Ventrasol — Initialisiere...");
    refreshTrayTooltip(app.trayIcon, 1800, 55, 44, 19.96);
    EXPECT_EQ(host.calls.back(), "trayModify");
    EXPECT_EQ(host.tips.back(), L"Ventrasol — 1800 RPM · CPU 55°C · GPU 44°C (20.0 W)");
    EXPECT_EQ(app.trayIcon.tip, host.tips.back());
    // Steady readings leave the shell alone; the next change reaches it.
    const std::size_t calls = host.calls.size();
    refreshTrayTooltip(app.trayIcon, 1800.2, 54.8, 44, 19.99);
    EXPECT_EQ(host.calls.size(), calls);
    refreshTrayTooltip(app.trayIcon, 1810, 55, 44, 20);
    EXPECT_EQ(host.calls.size(), calls + 1);
    EXPECT_EQ(host.tips.back(), L"Ventrasol — 1810 RPM · CPU 55°C · GPU 44°C (20.0 W)");
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
    refreshTrayTooltip(app.trayIcon, 1, 2, 3, 4);
    removeTrayIcon(app.trayIcon);
    showTrayMenu(app.settings);
    handleTrayEvent(app.settings, TRAY_EVENT_RBUTTONUP);
    EXPECT_FALSE(app.trayIcon.added);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TrayTest, TheMenuHasThirteenEntriesWithTheirChecks) {
    const std::vector<std::uint32_t> ids = {2001, 0, 2002, 2003, 2004, 2005, 2006,
                                            2007, 0, 2008, 2009, 0,    2010};
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
                                             L"",
                                             L"Beenden"};
    for (int mode = -1; mode <= 6; ++mode) {
        app.settings.mode = static_cast<ControlMode>(mode);
        const std::vector<MenuEntry> menu = buildTrayMenu(app.settings);
        ASSERT_EQ(menu.size(), 13u);
        for (std::size_t i = 0; i < menu.size(); ++i) {
            EXPECT_EQ(menu[i].id, ids[i]);
            EXPECT_EQ(menu[i].text, texts[i]);
            EXPECT_EQ(menu[i].separator, ids[i] == 0);
            const bool modeItem = i >= 2 && i <= 7;
            const bool checked = modeItem && static_cast<int>(i) - 2 == mode;
            if (i != 9 && i != 10) {
                EXPECT_EQ(menu[i].checked, checked) << "mode " << mode << " entry " << i;
            }
        }
    }
    // The two options are checked by their own flags, independently of each other.
    for (int bits = 0; bits < 4; ++bits) {
        app.settings.autostartEnabled = bits & 1;
        app.settings.startMinimized = bits & 2;
        const std::vector<MenuEntry> menu = buildTrayMenu(app.settings);
        EXPECT_EQ(menu[9].checked, app.settings.autostartEnabled);
        EXPECT_EQ(menu[10].checked, app.settings.startMinimized);
    }
}

TEST_F(TrayTest, EventsOpenTheWindowOrTheMenuAndNothingElse) {
    app.settings.mode = ControlMode::Quiet;
    handleTrayEvent(app.settings, TRAY_EVENT_RBUTTONUP);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"setForeground", "trackPopupMenu"}));
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0], buildTrayMenu(app.settings));
    EXPECT_TRUE(host.menus[0][4].checked);

    host.calls.clear();
    handleTrayEvent(app.settings, TRAY_EVENT_LBUTTONDBLCLK);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"showMainWindow"}));
    host.calls.clear();
    for (std::uint32_t other : {0x0200u, 0x0201u, 0x0202u, 0x0204u, 0x0206u, 0u, WM_TRAYICON})
        handleTrayEvent(app.settings, other);
    EXPECT_TRUE(host.calls.empty());
}
