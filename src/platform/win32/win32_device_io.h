#pragma once

#include "platform/device_io.h"

class Win32DeviceIo final : public DeviceIo {
public:
    DeviceHandle open(const std::wstring& path) override;
    bool control(DeviceHandle device, std::uint32_t code, const void* input,
                 std::uint32_t inputSize, void* output, std::uint32_t outputSize,
                 std::uint32_t* returned) override;
    void close(DeviceHandle device) override;
};
