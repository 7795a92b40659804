#pragma once

#include "platform/system_info.h"

class Win32SystemInfo final : public SystemInfo {
public:
    std::uint8_t batteryFlag() const override;
    std::wstring modulePath() const override;
};
