#include "app/autostart_lookup.h"

#include "settings/autostart.h"

#include <thread>
#include <utility>

void AutostartLookup::start(const Settings& settings, std::function<void()> whenDone,
                            void (*atStart)()) {
    answer = std::make_shared<Answer>();
    std::thread([answer = answer, copy = settings, whenDone = std::move(whenDone),
                 atStart]() mutable {
        if (atStart)
            atStart();
        loadAutostartState(copy);
        {
            const std::lock_guard<std::mutex> guard(answer->lock);
            answer->enabled = copy.autostartEnabled;
            answer->done = true;
        }
        answer->arrived.notify_all();
        if (whenDone)
            whenDone();
    }).detach();
}

bool AutostartLookup::take(Settings& settings) {
    if (!answer)
        return false;
    const std::lock_guard<std::mutex> guard(answer->lock);
    if (!answer->done)
        return false;
    settings.autostartEnabled = answer->enabled;
    settings.autostartPending = false;
    return true;
}

bool AutostartLookup::wait(std::chrono::milliseconds limit) {
    if (!answer)
        return false;
    std::unique_lock<std::mutex> guard(answer->lock);
    return answer->arrived.wait_for(guard, limit, [this] { return answer->done; });
}
