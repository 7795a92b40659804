#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread of its own that runs one job when first woken and then once per period until
// stopped, so a slow source never holds up its owner's thread. The job runs only on this thread;
// the closing step (given to start) too, after the last job, so objects a source made on this
// thread are released on it.
class SensorWorker {
public:
    SensorWorker() = default;
    ~SensorWorker() { stop(); }
    SensorWorker(const SensorWorker&) = delete;
    SensorWorker& operator=(const SensorWorker&) = delete;

    // Does nothing while running.
    void start(std::chrono::milliseconds period, std::function<void()> job,
               std::function<void()> closing);
    // Runs the job now instead of at the end of the period.
    void wake();
    // Asks the thread to end and waits for it: at most as long as the job in progress takes.
    void stop();
    bool running() const { return thread.joinable(); }

private:
    void loop(std::chrono::milliseconds period, const std::function<void()>& job,
              const std::function<void()>& closing);

    std::thread thread;
    std::mutex lock;
    std::condition_variable signal;
    bool stopping = false;
    bool woken = false;
};
