#pragma once

#include <windows.h>

// An off-screen bitmap for an area of a client area, in the colour format of the target device
// context. Everything is drawn into dc() in the target's coordinates and copied to the target
// in one piece, so the screen never shows a half-painted frame. Made fresh per paint, only as
// large as the part being repainted; the destructor deselects and frees.
class Win32BackBuffer {
public:
    // The whole area from (0, 0).
    Win32BackBuffer(HDC target, int width, int height);
    // Only area; drawing at area's top-left lands at the bitmap's origin.
    Win32BackBuffer(HDC target, const RECT& area);
    ~Win32BackBuffer();
    Win32BackBuffer(const Win32BackBuffer&) = delete;
    Win32BackBuffer& operator=(const Win32BackBuffer&) = delete;

    // Null when the memory context could not be made; drawing into it is then skipped.
    HDC dc() const { return memory_; }
    // Copies the whole buffer to its area of the target.
    void present() const;

private:
    HDC target_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
};
