#pragma once

#include "settings/settings.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// Looks up the logon task (and migrates an old Run value) on a thread of its own: at logon the
// Task Scheduler can take seconds to answer, and the window and the tray icon must not wait for
// it. The thread works on a copy of the settings and touches nothing else of the program's
// state; it is never waited for, so a scheduler that hangs holds up nothing, and whenDone is
// called on that thread once the answer is in.
class AutostartLookup {
public:
    // atStart runs first on the new thread (the crash guard's reserve), whenDone last.
    void start(const Settings& settings, std::function<void()> whenDone,
               void (*atStart)() = nullptr);
    // Takes the answer into settings (autostartEnabled, and autostartPending cleared); false,
    // changing nothing, while there is none yet.
    bool take(Settings& settings);
    // Waits at most limit for the answer; true once it is in.
    bool wait(std::chrono::milliseconds limit);

private:
    struct Answer {
        std::mutex lock;
        std::condition_variable arrived;
        bool done = false;
        bool enabled = false;
    };
    std::shared_ptr<Answer> answer;
};
