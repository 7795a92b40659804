#include "app/commands.h"
#include "platform/win32/win32_window_host.h"
#include "win/test_window.h"

#include <gtest/gtest.h>

#include <string>

TEST(Win32WindowHostTest, TheTrayRecordIsTheFullStructureWithTheProgramsFields) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()));
    EXPECT_EQ(host.trayRecord().cbSize, 0u);
    ASSERT_TRUE(host.trayAdd(L"Ventrasol — Initialisiere..."));
    const NOTIFYICONDATAW& record = host.trayRecord();
    EXPECT_EQ(record.cbSize, 976u);
    EXPECT_EQ(record.hWnd, window.handle());
    EXPECT_EQ(record.uID, TRAY_ICON_ID);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, WM_TRAYICON);
    // The test binary has no icon 101, so the system's application icon stands in.
    EXPECT_EQ(record.hIcon, LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_EQ(std::wstring(record.szTip), L"Ventrasol — Initialisiere...");

    // A tip longer than the buffer is cut to 127 characters and terminated.
    ASSERT_TRUE(host.trayModify(std::wstring(126, L'a') + L"\U0001F600"));
    EXPECT_EQ(std::wstring(record.szTip), std::wstring(126, L'a')); // no lone surrogate
    ASSERT_TRUE(host.trayModify(std::wstring(200, L'b')));
    EXPECT_EQ(std::wstring(record.szTip), std::wstring(127, L'b'));
    EXPECT_TRUE(host.trayDelete());
}

TEST(Win32WindowHostTest, TheMenuIsFollowedByAMessageSoItClosesOnAClickElsewhere) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()));
    host.trackPopupMenu({{CMD_EXIT, L"Beenden", false, false}});
    EXPECT_EQ(window.menusShown(), 1);
    EXPECT_TRUE(window.takePostedNull());
    EXPECT_FALSE(window.takePostedNull());
}

TEST(Win32WindowHostTest, ShowingRestoresAMinimisedWindow) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()));
    ShowWindow(window.handle(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window.handle()));
    host.showMainWindow();
    EXPECT_FALSE(IsIconic(window.handle()));
    EXPECT_TRUE(IsWindowVisible(window.handle()));
}
