#include "fakes/fake_thermal_counter_query.h"

#include <chrono>
#include <thread>

namespace {
class FakeSession final : public ThermalCounterSession {
public:
    explicit FakeSession(FakeThermalCounterQuery* owner) : owner(owner) {}
    ~FakeSession() override { --owner->liveSessions; }
    bool collect(std::vector<ThermalCounterRow>* rows) override {
        while (owner->hang) {
            owner->hanging = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        owner->hanging = false;
        if (owner->collectFails)
            return false;
        rows->insert(rows->end(), owner->rows.begin(), owner->rows.end());
        return true;
    }

private:
    FakeThermalCounterQuery* owner;
};
} // namespace

std::unique_ptr<ThermalCounterSession> FakeThermalCounterQuery::open() {
    ++opens;
    if (counterMissing)
        return nullptr;
    ++liveSessions;
    return std::make_unique<FakeSession>(this);
}
