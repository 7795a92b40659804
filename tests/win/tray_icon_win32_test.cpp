// The tray icon's pictures through the real shell and GDI: each level's colour at the sizes of
// 100, 150 and 200 %, the program's icon without a value, and no object left behind by many
// updates.
#include "app/tray_icon_face.h"
#include "app/tray_icon_image.h"
#include "platform/win32/win32_window_host.h"
#include "win/gdi_object_count.h"
#include "win/icon_pixels.h"
#include "win/test_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The process's user objects where Windows counts them; -1 where it cannot say (Wine).
long userObjectCount() {
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return n != 0 ? static_cast<long>(n) : -1;
}

} // namespace

TEST(TrayIconWin32Test, TheNumberIsDrawnInItsLevelsColourAtEachScale) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()));
    ASSERT_TRUE(host.trayAdd(L"Ventrasol"));
    const std::uint32_t white = 0xFFFFFFFFu;
    const std::uint32_t red = 0xFFFF453Au; // (255, 69, 58)
    for (std::uint32_t size : {16u, 24u, 32u}) {
        for (double celsius : {47.0, 100.0}) {
            const TrayIconFace face = trayIconFace(celsius, false, size);
            const TrayIconImage image = drawTrayIconImage(face);
            ASSERT_TRUE(host.traySetIcon(&image)) << size;
            const TrayIconImage shown = iconPixels(host.trayRecord().hIcon, int(size));
            ASSERT_EQ(shown.size, size);
            // Every pixel is the level's colour, opaque, or the taskbar: nothing in between.
            const std::uint32_t colour = celsius < 90 ? white : red;
            int coloured = 0;
            for (std::size_t i = 0; i < shown.pixels.size(); ++i) {
                const std::uint32_t expected = image.pixels[i] != 0 ? colour : 0u;
                ASSERT_EQ(shown.pixels[i], expected) << size << " " << celsius << " pixel " << i;
                coloured += shown.pixels[i] != 0;
            }
            // Two digits cover about a third of the icon, the "!" about an eighth.
            EXPECT_GT(coloured, int(size * size) / (celsius < 90 ? 4 : 12)) << size;
        }
    }
    // No value: the program's own icon, a shared one nobody destroys.
    EXPECT_TRUE(host.traySetIcon(nullptr));
    EXPECT_EQ(host.trayRecord().hIcon, LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_TRUE(host.trayDelete());
}

TEST(TrayIconWin32Test, ATaskbarRestartAddsTheIconWithThePictureItShowed) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()));
    ASSERT_TRUE(host.trayAdd(L"Ventrasol"));
    const TrayIconImage image = drawTrayIconImage(trayIconFace(63, false, 16));
    ASSERT_TRUE(host.traySetIcon(&image));
    const HICON number = host.trayRecord().hIcon;
    // The new shell knows no icon yet; this one still does, so it may refuse the add.
    host.trayAdd(L"Ventrasol");
    EXPECT_EQ(host.trayRecord().hIcon, number);
    EXPECT_EQ(iconPixels(number, 16), image);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(number, &info)) << "the picture lives while it is shown";
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_TRUE(host.trayDelete());
    EXPECT_FALSE(GetIconInfo(number, &info)) << "removed with the icon";
}

namespace {

// A shell that takes every request at once. It shows each picture until the next one comes;
// now and then it looks whether the picture it showed was destroyed before the next came.
HICON shownByShell = nullptr;
int destroyedWhileShown = 0;
int requests = 0;
BOOL WINAPI quickShell(DWORD message, PNOTIFYICONDATAW data) {
    if (message == NIM_MODIFY && (data->uFlags & NIF_ICON) != 0) {
        ICONINFO info{};
        if (++requests % 25 != 0) {
            // not looked at this time
        } else if (shownByShell != nullptr && GetIconInfo(shownByShell, &info)) {
            DeleteObject(info.hbmMask);
            if (info.hbmColor != nullptr)
                DeleteObject(info.hbmColor);
        } else if (shownByShell != nullptr) {
            ++destroyedWhileShown;
        }
        shownByShell = data->hIcon;
    }
    return TRUE;
}

std::vector<TrayIconImage> hundredPictures() {
    std::vector<TrayIconImage> pictures;
    for (int t = 0; t < 100; ++t)
        pictures.push_back(drawTrayIconImage(trayIconFace(t, t % 2 == 0, 16)));
    return pictures;
}

// Sets the pictures in turn, count times after a few to warm up, and checks that the
// process holds no more GDI and user objects than before.
void updateAndCount(Win32WindowHost& host, int count) {
    const std::vector<TrayIconImage> pictures = hundredPictures();
    // The first pictures may set up what the process keeps for good (the shell's caches).
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(host.traySetIcon(&pictures[std::size_t(i)]));
    const long gdiBefore = gdiObjectCount();
    const long userBefore = userObjectCount();
    ASSERT_GT(gdiBefore, 0);
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(host.traySetIcon(&pictures[std::size_t(i % 100)])) << i;
    EXPECT_LE(gdiObjectCount(), gdiBefore);
    if (userBefore >= 0) {
        EXPECT_LE(userObjectCount(), userBefore);
    }
}

} // namespace

TEST(TrayIconWin32Test, TenThousandUpdatesLeaveNoGdiOrUserObjectBehind) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()), nullptr, &quickShell);
    ASSERT_TRUE(host.trayAdd(L"Ventrasol"));
    destroyedWhileShown = 0;
    updateAndCount(host, 10000);
    EXPECT_EQ(destroyedWhileShown, 0) << "a picture goes only after the next one is shown";
    const HICON last = host.trayRecord().hIcon;
    EXPECT_EQ(last, shownByShell);
    EXPECT_TRUE(host.trayDelete());
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(last, &info)) << "removed with the icon";
    shownByShell = nullptr;
}

TEST(TrayIconWin32Test, UpdatesThroughTheRealShellLeaveNothingBehindEither) {
    TestWindow window;
    Win32WindowHost host(reinterpret_cast<std::uintptr_t>(window.handle()));
    ASSERT_TRUE(host.trayAdd(L"Ventrasol"));
    updateAndCount(host, 300);
    EXPECT_TRUE(host.trayDelete());
}
