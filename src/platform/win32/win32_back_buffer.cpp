#include "platform/win32/win32_back_buffer.h"

Win32BackBuffer::Win32BackBuffer(HDC target, int width, int height)
    : Win32BackBuffer(target, RECT{0, 0, width, height}) {}

Win32BackBuffer::Win32BackBuffer(HDC target, const RECT& area)
    : target_(target), left_(area.left), top_(area.top),
      width_(area.right > area.left ? area.right - area.left : 0),
      height_(area.bottom > area.top ? area.bottom - area.top : 0) {
    memory_ = CreateCompatibleDC(target);
    if (memory_ == nullptr)
        return;
    // From the target, not the memory context, so the bitmap has the screen's colour format
    // instead of a memory context's monochrome default.
    bitmap_ = CreateCompatibleBitmap(target, width_, height_);
    if (bitmap_ != nullptr)
        previous_ = SelectObject(memory_, bitmap_);
    SetWindowOrgEx(memory_, left_, top_, nullptr);
}

Win32BackBuffer::~Win32BackBuffer() {
    if (memory_ != nullptr && previous_ != nullptr)
        SelectObject(memory_, previous_);
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
    if (memory_ != nullptr)
        DeleteDC(memory_);
}

void Win32BackBuffer::present() const {
    if (memory_ != nullptr && bitmap_ != nullptr)
        BitBlt(target_, left_, top_, width_, height_, memory_, left_, top_, SRCCOPY);
}
