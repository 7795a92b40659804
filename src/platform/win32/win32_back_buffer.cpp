#include "platform/win32/win32_back_buffer.h"

Win32BackBuffer::Win32BackBuffer(HDC target, int width, int height)
    : target_(target), width_(width > 0 ? width : 0), height_(height > 0 ? height : 0) {
    memory_ = CreateCompatibleDC(target);
    if (memory_ == nullptr)
        return;
    // From the target, not the memory context, so the bitmap has the screen's colour format
    // instead of a memory context's monochrome default.
    bitmap_ = CreateCompatibleBitmap(target, width_, height_);
    if (bitmap_ != nullptr)
        previous_ = SelectObject(memory_, bitmap_);
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
        BitBlt(target_, 0, 0, width_, height_, memory_, 0, 0, SRCCOPY);
}
