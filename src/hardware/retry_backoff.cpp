#include "hardware/retry_backoff.h"

std::chrono::seconds RetryBackoff::delay() const {
    if (failures == 0)
        return std::chrono::seconds{0};
    // Past six doublings the cap holds; stop shifting before the count could overflow.
    if (failures > 6)
        return LONGEST_DELAY;
    const std::chrono::seconds doubled = FIRST_DELAY * (1 << (failures - 1));
    return doubled < LONGEST_DELAY ? doubled : LONGEST_DELAY;
}

void RetryBackoff::failed(Clock::time_point now) {
    if (failures < 1000)
        ++failures;
    nextAttempt = now + delay();
}
