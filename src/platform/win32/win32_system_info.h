#pragma once

#include "platform/system_info.h"

class Win32SystemInfo final : public SystemInfo {
public:
    std::uint8_t batteryFlag() const override;
    PowerStatus powerStatus() const override;
    std::wstring modulePath() const override;
    std::string processorBrandBytes() const override;
    std::uint32_t logicalProcessorCount() const override;
    MemoryStatus memoryStatus() const override;
    std::vector<std::wstring> displayDeviceStrings() const override;
    int screenWidth() const override;
    int screenHeight() const override;
    std::uint32_t logicalDriveMask() const override;
    DriveKind driveKind(char letter) const override;
    bool diskSpace(char letter, DiskSpace* space) const override;
    bool volumeInformation(char letter, std::wstring* label,
                           std::wstring* fileSystem) const override;
};
