#include "hardware/fan_handback.h"

#include <atomic>

namespace {

struct HandBackPlan {
    DeviceIo* io = nullptr;
    DeviceHandle device = INVALID_DEVICE_HANDLE;
    std::size_t count = 0;
    FanHandBackRequest requests[FAN_HANDBACK_MAX_REQUESTS];
};

HandBackPlan plan;
// A crash on another thread may read the plan while it is rewritten: it only trusts the plan
// while this is set, and the writer clears it first.
std::atomic<bool> armed{false};

} // namespace

void armFanHandBack(DeviceIo* io, DeviceHandle device, const FanHandBackRequest* requests,
                    std::size_t count) {
    armed.store(false, std::memory_order_release);
    if (io == nullptr || device == INVALID_DEVICE_HANDLE || requests == nullptr)
        return;
    plan.io = io;
    plan.device = device;
    plan.count = count < FAN_HANDBACK_MAX_REQUESTS ? count : FAN_HANDBACK_MAX_REQUESTS;
    for (std::size_t i = 0; i < plan.count; ++i)
        plan.requests[i] = requests[i];
    armed.store(true, std::memory_order_release);
}

void disarmFanHandBack() {
    armed.store(false, std::memory_order_release);
}

bool emergencyFanHandBack() {
    if (!armed.load(std::memory_order_acquire))
        return false;
    bool all = true;
    for (std::size_t i = 0; i < plan.count; ++i) {
        const FanHandBackRequest& r = plan.requests[i];
        std::uint32_t count = 0;
        if (!plan.io->control(plan.device, r.code, r.request.bytes.data(), r.request.length,
                              nullptr, 0, &count))
            all = false;
    }
    return all;
}
