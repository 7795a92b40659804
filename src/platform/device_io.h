#pragma once

#include <cstdint>
#include <string>

// An opaque device handle; only the Win32 layer turns it back into a HANDLE.
using DeviceHandle = std::intptr_t;
inline constexpr DeviceHandle INVALID_DEVICE_HANDLE = -1;

// Synchronous device I/O control on a kernel driver's device.
class DeviceIo {
public:
    virtual ~DeviceIo() = default;

    // Opens an existing device for reading and writing, shared for both; INVALID_DEVICE_HANDLE
    // when it cannot be opened.
    virtual DeviceHandle open(const std::wstring& path) = 0;

    // Sends one buffered request and waits for it. On success *returned holds the number of
    // bytes the driver put into output; on failure *returned is left exactly as it was, because
    // Windows does not promise to write it then.
    virtual bool control(DeviceHandle device, std::uint32_t code, const void* input,
                         std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                         std::uint32_t* returned) = 0;

    virtual void close(DeviceHandle device) = 0;
};
