#pragma once

#include "platform/thermal_zone_query.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// WMI's thermal-zone class in memory: rows of any type, scripted connection failures, queries
// that hang on a latch, and a record of connections made and released. Several sensor threads
// may call at once (one left behind, one new); read the record once they are done.
class FakeThermalZoneQuery final : public ThermalZoneQuery {
public:
    std::deque<bool> connectResults; // consumed one per attempt; success once empty
    bool queryFails = false;
    std::vector<ThermalZoneRow> rows;
    std::atomic<bool> hold{false}; // a query waits while set, as one to a hung service would
    std::atomic<int> held{0};      // queries waiting on hold now

    int connectAttempts = 0;
    int liveConnections = 0;
    std::vector<std::string> events; // "connect", "connect failed", "query", "release"

    int threadsLeft = 0;
    std::mutex lock; // over the record

    std::unique_ptr<ThermalZoneConnection> connect() override;
    void leaveThread() override;

    // Helpers for rows as WMI would deliver them.
    static ThermalZoneRow row(std::uint32_t tenthsKelvin, const std::wstring& name,
                              std::uint16_t type = VARIANT_TYPE_I4);
    static ThermalZoneRow unnamedRow(std::uint32_t tenthsKelvin,
                                     std::uint16_t type = VARIANT_TYPE_I4);
};
