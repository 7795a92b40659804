#pragma once

#include <windows.h>

// An off-screen bitmap the size of a client area, in the colour format of the target device
// context. Everything is drawn into dc() and copied to the target in one piece, so the screen
// never shows a half-painted frame. Made fresh per paint; the destructor deselects and frees.
class Win32BackBuffer {
public:
    Win32BackBuffer(HDC target, int width, int height);
    ~Win32BackBuffer();
    Win32BackBuffer(const Win32BackBuffer&) = delete;
    Win32BackBuffer& operator=(const Win32BackBuffer&) = delete;

    // Null when the memory context could not be made; drawing into it is then skipped.
    HDC dc() const { return memory_; }
    // Copies the whole buffer to the target at (0, 0).
    void present() const;

private:
    HDC target_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};
