#pragma once

#include <chrono>

// Spaces out the attempts on a source that keeps failing: after the n-th failure in a row the
// next attempt waits 2^(n-1) seconds, at most a minute; one success starts over.
class RetryBackoff {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::seconds FIRST_DELAY{1};
    static constexpr std::chrono::seconds LONGEST_DELAY{60};

    bool due(Clock::time_point now) const { return failures == 0 || now >= nextAttempt; }
    void failed(Clock::time_point now);
    void succeeded() { failures = 0; }
    int failuresInARow() const { return failures; }
    // The wait the last failure set; zero after a success.
    std::chrono::seconds delay() const;

private:
    int failures = 0;
    Clock::time_point nextAttempt{};
};
