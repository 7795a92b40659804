#include "gdi_object_count.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

// Wine implements GetGuiResources as a stub, but keeps every live GDI object in the shared
// handle table that the process environment block points to (offset 0xF8 on x64), as
// Windows does: 65536 entries of 24 bytes, the object type in byte 14, 0 for a free entry.
// Wine's table belongs to the process alone, so its occupied entries are the process's objects.
long countHandleTable() {
    const unsigned char* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    if (peb == nullptr)
        return -1;
    const unsigned char* table = nullptr;
    std::memcpy(&table, peb + 0xF8, sizeof table);
    if (table == nullptr)
        return -1;
    constexpr int kEntries = 0x10000;
    constexpr int kEntrySize = 24;
    constexpr int kTypeOffset = 14;
    long n = 0;
    for (int i = 0; i < kEntries; ++i)
        if (table[static_cast<std::size_t>(i) * kEntrySize + kTypeOffset] != 0)
            ++n;
    return n;
}

} // namespace

long gdiObjectCount() {
    // Windows counts the process's objects here; Wine's stub answers 0. The callers always
    // hold objects of their own when they count, so 0 means "not answered".
    const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n != 0)
        return static_cast<long>(n);
    return countHandleTable();
}
