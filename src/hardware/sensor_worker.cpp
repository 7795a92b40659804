#include "hardware/sensor_worker.h"

#include <utility>

void SensorWorker::start(std::chrono::milliseconds period, std::function<void()> job,
                         std::function<void()> closing) {
    if (thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = false;
        woken = false;
    }
    thread = std::thread([this, period, job = std::move(job), closing = std::move(closing)] {
        loop(period, job, closing);
    });
}

void SensorWorker::loop(std::chrono::milliseconds period, const std::function<void()>& job,
                        const std::function<void()>& closing) {
    // Nothing runs before the first wake; from then on once per period, or sooner when woken.
    auto next = std::chrono::steady_clock::time_point::max();
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(lock);
            if (next == std::chrono::steady_clock::time_point::max())
                signal.wait(guard, [this] { return stopping || woken; });
            else
                signal.wait_until(guard, next, [this] { return stopping || woken; });
            if (stopping)
                break;
            woken = false;
        }
        // A job that overran its period is not caught up: the next one follows a period later.
        next = std::chrono::steady_clock::now() + period;
        job();
    }
    if (closing)
        closing();
}

void SensorWorker::wake() {
    {
        std::lock_guard<std::mutex> guard(lock);
        woken = true;
    }
    signal.notify_one();
}

void SensorWorker::stop() {
    if (!thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    signal.notify_one();
    thread.join();
}
