#include "platform/win32/win32_back_buffer.h"

#include <gtest/gtest.h>

namespace {

// A 32-bit target surface standing in for the window's paint context.
struct Target {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    Target(int width, int height) {
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        previous = SelectObject(dc, bitmap);
    }
    ~Target() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r{left, top, right, bottom};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

} // namespace

TEST(BackBufferTest, NothingReachesTheTargetBeforePresent) {
    Target target(64, 48);
    fill(target.dc, 0, 0, 64, 48, RGB(1, 2, 3));
    {
        Win32BackBuffer buffer(target.dc, 64, 48);
        ASSERT_NE(buffer.dc(), nullptr);
        fill(buffer.dc(), 0, 0, 64, 48, RGB(28, 28, 30));
        fill(buffer.dc(), 10, 10, 20, 20, RGB(10, 132, 255));
        EXPECT_EQ(GetPixel(target.dc, 15, 15), RGB(1, 2, 3));
        buffer.present();
    }
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(28, 28, 30));
    EXPECT_EQ(GetPixel(target.dc, 63, 47), RGB(28, 28, 30));
    EXPECT_EQ(GetPixel(target.dc, 15, 15), RGB(10, 132, 255));
    EXPECT_EQ(GetPixel(target.dc, 20, 20), RGB(28, 28, 30));
}

TEST(BackBufferTest, EveryPaintReleasesItsObjects) {
    Target target(200, 100);
    for (int i = 0; i < 100; ++i) {
        HDC memory = nullptr;
        HGDIOBJ bitmap = nullptr;
        {
            Win32BackBuffer buffer(target.dc, 200, 100);
            memory = buffer.dc();
            bitmap = GetCurrentObject(memory, OBJ_BITMAP);
            ASSERT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
            fill(memory, 0, 0, 200, 100, RGB(i, 0, 0));
            buffer.present();
        }
        // Both the context and the bitmap are gone, not merely deselected.
        ASSERT_EQ(GetObjectType(memory), 0u) << i;
        ASSERT_EQ(GetObjectType(bitmap), 0u) << i;
    }
    EXPECT_EQ(GetPixel(target.dc, 5, 5), RGB(99, 0, 0));
}

TEST(BackBufferTest, AnEmptyClientAreaIsHarmless) {
    Target target(8, 8);
    fill(target.dc, 0, 0, 8, 8, RGB(7, 7, 7));
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{-5, 10}, std::pair{10, -5}}) {
        Win32BackBuffer buffer(target.dc, w, h);
        buffer.present();
    }
    EXPECT_EQ(GetPixel(target.dc, 0, 0), RGB(7, 7, 7));
}

TEST(BackBufferTest, APartialBufferDrawsInWindowCoordinatesAndTouchesOnlyItsArea) {
    Target target(64, 48);
    fill(target.dc, 0, 0, 64, 48, RGB(1, 2, 3));
    {
        Win32BackBuffer buffer(target.dc, RECT{10, 5, 30, 25});
        ASSERT_NE(buffer.dc(), nullptr);
        fill(buffer.dc(), 0, 0, 64, 48, RGB(28, 28, 30)); // clipped to the area by the bitmap
        fill(buffer.dc(), 20, 15, 22, 17, RGB(10, 132, 255));
        buffer.present();
    }
    EXPECT_EQ(GetPixel(target.dc, 10, 5), RGB(28, 28, 30));
    EXPECT_EQ(GetPixel(target.dc, 29, 24), RGB(28, 28, 30));
    EXPECT_EQ(GetPixel(target.dc, 21, 16), RGB(10, 132, 255));
    EXPECT_EQ(GetPixel(target.dc, 9, 5), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(target.dc, 30, 24), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(target.dc, 10, 25), RGB(1, 2, 3));
}
