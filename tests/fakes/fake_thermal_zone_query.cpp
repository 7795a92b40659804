#include "fakes/fake_thermal_zone_query.h"

#include <chrono>
#include <thread>

namespace {
class FakeConnection final : public ThermalZoneConnection {
public:
    explicit FakeConnection(FakeThermalZoneQuery* owner) : owner(owner) {}
    ~FakeConnection() override {
        std::lock_guard<std::mutex> guard(owner->lock);
        owner->events.push_back("release");
        --owner->liveConnections;
    }
    bool query(std::vector<ThermalZoneRow>* rows) override {
        if (owner->hold) {
            ++owner->held;
            while (owner->hold)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            --owner->held;
        }
        std::lock_guard<std::mutex> guard(owner->lock);
        owner->events.push_back("query");
        if (owner->queryFails)
            return false;
        rows->insert(rows->end(), owner->rows.begin(), owner->rows.end());
        return true;
    }

private:
    FakeThermalZoneQuery* owner;
};
} // namespace

std::unique_ptr<ThermalZoneConnection> FakeThermalZoneQuery::connect() {
    std::lock_guard<std::mutex> guard(lock);
    ++connectAttempts;
    bool ok = true;
    if (!connectResults.empty()) {
        ok = connectResults.front();
        connectResults.pop_front();
    }
    if (!ok) {
        events.push_back("connect failed");
        return nullptr;
    }
    events.push_back("connect");
    ++liveConnections;
    return std::make_unique<FakeConnection>(this);
}

void FakeThermalZoneQuery::leaveThread() {
    std::lock_guard<std::mutex> guard(lock);
    ++threadsLeft;
}

ThermalZoneRow FakeThermalZoneQuery::row(std::uint32_t tenthsKelvin, const std::wstring& name,
                                         std::uint16_t type) {
    ThermalZoneRow r = unnamedRow(tenthsKelvin, type);
    r.nameIsString = true;
    r.name = name;
    return r;
}

ThermalZoneRow FakeThermalZoneQuery::unnamedRow(std::uint32_t tenthsKelvin, std::uint16_t type) {
    ThermalZoneRow r;
    r.temperatureRead = true;
    r.temperatureType = type;
    if (type == VARIANT_TYPE_I4 || type == VARIANT_TYPE_UI4)
        r.temperatureBits = tenthsKelvin;
    return r;
}
