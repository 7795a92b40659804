#include "hardware/sensor_worker.h"

#include <utility>

bool SensorThreadEnd::waitFor(std::chrono::milliseconds limit) const {
    if (!signals)
        return false;
    std::unique_lock<std::mutex> guard(signals->lock);
    return signals->signal.wait_for(guard, limit, [this] { return signals->ended; });
}

void SensorWorker::start(std::chrono::milliseconds period, std::function<void()> job,
                         std::function<void()> closing) {
    if (thread.joinable())
        return;
    signals = std::make_shared<SensorWorkerSignals>();
    thread = std::thread(
        [shared = signals, period, job = std::move(job), closing = std::move(closing)]() mutable {
            {
                // Taken out of the closure, so that what they hold is let go before the end is
                // announced rather than when the thread object is torn down afterwards.
                std::function<void()> ownJob, ownClosing;
                ownJob.swap(job);
                ownClosing.swap(closing);
                loop(*shared, period, ownJob, ownClosing);
            }
            {
                std::lock_guard<std::mutex> guard(shared->lock);
                shared->ended = true;
            }
            shared->signal.notify_all();
        });
}

void SensorWorker::loop(SensorWorkerSignals& signals, std::chrono::milliseconds period,
                        const std::function<void()>& job, const std::function<void()>& closing) {
    // Nothing runs before the first wake; from then on once per period, or sooner when woken.
    auto next = std::chrono::steady_clock::time_point::max();
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(signals.lock);
            const auto due = [&signals] { return signals.stopping || signals.woken; };
            if (next == std::chrono::steady_clock::time_point::max())
                signals.signal.wait(guard, due);
            else
                signals.signal.wait_until(guard, next, due);
            if (signals.stopping)
                break;
            signals.woken = false;
        }
        // A job that overran its period is not caught up: the next one follows a period later.
        next = std::chrono::steady_clock::now() + period;
        job();
    }
    if (closing)
        closing();
}

void SensorWorker::wake() {
    if (!signals)
        return;
    {
        std::lock_guard<std::mutex> guard(signals->lock);
        signals->woken = true;
    }
    signals->signal.notify_all();
}

bool SensorWorker::stop(std::chrono::milliseconds limit) {
    if (!thread.joinable())
        return true;
    {
        std::lock_guard<std::mutex> guard(signals->lock);
        signals->stopping = true;
    }
    signals->signal.notify_all();
    if (ended().waitFor(limit)) {
        thread.join();
        return true;
    }
    thread.detach();
    return false;
}
