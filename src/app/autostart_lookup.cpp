#include "app/autostart_lookup.h"

#include "settings/autostart.h"

#include <thread>
#include <utility>

void AutostartLookup::start(const Settings& settings, std::function<void()> whenDone) {
    answer = std::make_shared<Answer>();
    std::thread([answer = answer, copy = settings, whenDone = std::move(whenDone)]() mutable {
        loadAutostartState(copy);
        {
            const std::lock_guard<std::mutex> guard(answer->lock);
            answer->enabled = copy.autostartEnabled;
            answer->done = true;
        }
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
