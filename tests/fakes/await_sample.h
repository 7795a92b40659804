#pragma once

#include "hardware/universal_pc_controller.h"

#include <chrono>
#include <cstdint>
#include <thread>

// Waits until the generic backend's sensor thread has completed more than `seen` snapshots;
// false after `limit`.
inline bool awaitSample(const UniversalPCController& pc, std::uint64_t seen,
                        std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    // A snapshot of fakes takes microseconds: yield first, sleep only when it takes longer.
    for (int spins = 0; pc.samplesTaken() <= seen; ++spins) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        if (spins < 2000)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
