// The tray icon's pictures through the real shell and GDI: each level's colour at the sizes of
// 100, 150 and 200 %, the program's icon without a value, and no object left behind by many
// updates.
#include "app/tray_icon_image.h"
#include "platform/win32/win32_window_host.h"
#include "win/gdi_object_count.h"
#include "win/icon_pixels.h"
#include "win/test_window.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TrayIconWin32Test, TheNumberIsDrawnInItsLevelsColourAtEachScale) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()));
    ASSERT_TRUE(host.trayAdd(L"Ventrasol"));
    for (std::uint32_t size : {16u, 24u, 32u}) {
        for (double celsius : {47.0, 100.0}) {
            const TrayIconImage image = drawTrayIconImage(trayIconFace(celsius, false, size));
            ASSERT_TRUE(host.traySetIcon(&image)) << size;
            const TrayIconImage shown = iconPixels(host.trayRecord().hIcon, int(size));
            // White digits or a red "!", opaque, and the taskbar between: nothing blended.
            const std::uint32_t colour = celsius < 90 ? 0xFFFFFFFFu : 0xFFFF453Au;
            int coloured = 0;
            ASSERT_EQ(shown.pixels.size(), image.pixels.size());
            for (std::size_t i = 0; i < shown.pixels.size(); ++i) {
                ASSERT_EQ(shown.pixels[i], image.pixels[i] ? colour : 0u) << size << " " << i;
                coloured += shown.pixels[i] != 0;
            }
            EXPECT_GT(coloured, int(size * size) / 12) << size;
        }
    }
    // A restarted taskbar gets the icon with the picture it showed, alive until it is removed.
    const HICON number = host.trayRecord().hIcon;
    host.trayAdd(L"Ventrasol"); // this shell still knows the icon and may refuse it
    EXPECT_EQ(host.trayRecord().hIcon, number);
    EXPECT_EQ(iconPixels(number, 32).pixels.size(), 32u * 32u);
    // No value: the program's own icon, a shared one nobody destroys.
    EXPECT_TRUE(host.traySetIcon(nullptr));
    EXPECT_EQ(host.trayRecord().hIcon, LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_TRUE(iconPixels(number, 32).pixels.empty()) << "the number went with it";
    EXPECT_TRUE(host.trayDelete());
}

namespace {

// A shell that takes every request at once. It shows each picture until the next one comes;
// now and then it looks whether the one it showed was destroyed before the next came.
HICON shownByShell = nullptr;
int requests = 0;
int destroyedWhileShown = 0;
BOOL WINAPI quickShell(DWORD message, PNOTIFYICONDATAW data) {
    if (message != NIM_MODIFY || (data->uFlags & NIF_ICON) == 0)
        return TRUE;
    if (++requests % 25 == 0 && shownByShell != nullptr &&
        iconPixels(shownByShell, 16).pixels.empty())
        ++destroyedWhileShown;
    shownByShell = data->hIcon;
    return TRUE;
}

// The process's user objects where Windows counts them; -1 where it cannot say (Wine).
long userObjectCount() {
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return n != 0 ? static_cast<long>(n) : -1;
}

} // namespace

TEST(TrayIconWin32Test, TenThousandUpdatesLeaveNoGdiOrUserObjectBehind) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()), nullptr, &quickShell);
    ASSERT_TRUE(host.trayAdd(L"Ventrasol"));
    std::vector<TrayIconImage> pictures;
    for (int t = 0; t < 100; ++t)
        pictures.push_back(drawTrayIconImage(trayIconFace(t, t % 2 == 0, 16)));
    ASSERT_TRUE(host.traySetIcon(&pictures[0]));
    const long gdiBefore = gdiObjectCount();
    const long userBefore = userObjectCount();
    ASSERT_GT(gdiBefore, 0);
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(host.traySetIcon(&pictures[std::size_t(i % 100)])) << i;
    EXPECT_EQ(destroyedWhileShown, 0) << "a picture goes only after the next one is shown";
    EXPECT_LE(gdiObjectCount(), gdiBefore);
    if (userBefore >= 0) {
        EXPECT_LE(userObjectCount(), userBefore);
    }
    const HICON last = host.trayRecord().hIcon;
    EXPECT_TRUE(host.trayDelete());
    EXPECT_TRUE(iconPixels(last, 16).pixels.empty()) << "removed with the icon";
}
