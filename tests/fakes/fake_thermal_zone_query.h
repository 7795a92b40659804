#pragma once

#include "platform/thermal_zone_query.h"

#include <deque>
#include <string>
#include <vector>

// WMI's thermal-zone class in memory: rows of any type, scripted connection failures, and a
// record of connections made and released.
class FakeThermalZoneQuery final : public ThermalZoneQuery {
public:
    std::deque<bool> connectResults; // consumed one per attempt; success once empty
    bool queryFails = false;
    std::vector<ThermalZoneRow> rows;

    int connectAttempts = 0;
    int liveConnections = 0;
    std::vector<std::string> events; // "connect", "connect failed", "query", "release"

    int threadsLeft = 0;

    std::unique_ptr<ThermalZoneConnection> connect() override;
    void leaveThread() override { ++threadsLeft; }

    // Helpers for rows as WMI would deliver them.
    static ThermalZoneRow row(std::uint32_t tenthsKelvin, const std::wstring& name,
                              std::uint16_t type = VARIANT_TYPE_I4);
    static ThermalZoneRow unnamedRow(std::uint32_t tenthsKelvin,
                                     std::uint16_t type = VARIANT_TYPE_I4);
};
