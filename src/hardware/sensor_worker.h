#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// What a sensor thread and those who start, stop or wait for it share.
struct SensorWorkerSignals {
    std::mutex lock;
    std::condition_variable signal;
    bool stopping = false;
    bool woken = false;
    bool ended = false; // the thread let go of its job and closing step and is about to return
};

// The end of one sensor thread, to wait for even after its worker is gone.
class SensorThreadEnd {
public:
    SensorThreadEnd() = default;
    explicit SensorThreadEnd(std::shared_ptr<SensorWorkerSignals> signals)
        : signals(std::move(signals)) {}
    // True once the thread has ended, waiting at most `limit`; false for no thread at all.
    bool waitFor(std::chrono::milliseconds limit) const;

private:
    std::shared_ptr<SensorWorkerSignals> signals;
};

// A thread of its own that runs one job when first woken and then once per period until
// stopped, so a slow source never holds up its owner's thread. The job runs only on this thread;
// the closing step (given to start) too, after the last job, so objects a source made on this
// thread are released on it.
//
// Stopping waits only a bounded time: a job or closing step that hangs in a source call is left
// to finish on its own. The thread therefore touches nothing of the worker's owner: its signals
// live in a record it shares, and whatever the job and the closing step reach must be owned by
// them (captured by shared ownership), never borrowed from the owner.
class SensorWorker {
public:
    // How long stop waits for the thread by default.
    static constexpr std::chrono::milliseconds STOP_WAIT{100};

    SensorWorker() = default;
    ~SensorWorker() { stop(); }
    SensorWorker(const SensorWorker&) = delete;
    SensorWorker& operator=(const SensorWorker&) = delete;

    // Does nothing while running.
    void start(std::chrono::milliseconds period, std::function<void()> job,
               std::function<void()> closing);
    // Runs the job now instead of at the end of the period.
    void wake();
    // Asks the thread to end and waits at most `limit` for it. True when it ended in time (or
    // was not running); false when it was left to finish on its own.
    bool stop(std::chrono::milliseconds limit = STOP_WAIT);
    bool running() const { return thread.joinable(); }
    // The end of the thread of the last start; no thread before the first.
    SensorThreadEnd ended() const { return SensorThreadEnd(signals); }

private:
    static void loop(SensorWorkerSignals& signals, std::chrono::milliseconds period,
                     const std::function<void()>& job, const std::function<void()>& closing);

    std::shared_ptr<SensorWorkerSignals>
        signals; // one per start: a thread left behind keeps its own
    std::thread thread;
};
