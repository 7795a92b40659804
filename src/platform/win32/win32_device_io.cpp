#include "platform/win32/win32_device_io.h"

#include <windows.h>

namespace {
HANDLE toHandle(DeviceHandle device) {
    return reinterpret_cast<HANDLE>(device);
}
} // namespace

DeviceHandle Win32DeviceIo::open(const std::wstring& path) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return INVALID_DEVICE_HANDLE;
    return reinterpret_cast<DeviceHandle>(h);
}

bool Win32DeviceIo::control(DeviceHandle device, std::uint32_t code, const void* input,
                            std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                            std::uint32_t* returned) {
    if (device == INVALID_DEVICE_HANDLE)
        return false;
    // The count is only meaningful after success; a failed call may leave it unwritten.
    DWORD count = 0;
    const BOOL ok = DeviceIoControl(toHandle(device), code, const_cast<void*>(input), inputSize,
                                    output, outputSize, &count, nullptr);
    if (!ok)
        return false;
    if (returned)
        *returned = count;
    return true;
}

void Win32DeviceIo::close(DeviceHandle device) {
    if (device != INVALID_DEVICE_HANDLE)
        CloseHandle(toHandle(device));
}
