#include "fakes/recording_window_host.h"

#include <algorithm>

int RecordingWindowHost::count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

void RecordingWindowHost::invalidate(bool erase) {
    calls.push_back(erase ? "invalidate 1" : "invalidate 0");
}
void RecordingWindowHost::setCapture() {
    calls.push_back("setCapture");
    captured = true;
}
void RecordingWindowHost::releaseCapture() {
    calls.push_back("releaseCapture");
    captured = false;
}
void RecordingWindowHost::setTimer(std::uint32_t id, std::uint32_t periodMs) {
    calls.push_back("setTimer " + std::to_string(id) + " " + std::to_string(periodMs));
}
void RecordingWindowHost::killTimer(std::uint32_t id) {
    calls.push_back("killTimer " + std::to_string(id));
}
void RecordingWindowHost::showMainWindow() {
    calls.push_back("showMainWindow");
}
void RecordingWindowHost::setForeground() {
    calls.push_back("setForeground");
}
void RecordingWindowHost::setWindowRect(const Rect& r) {
    calls.push_back("setWindowRect " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                    std::to_string(r.width()) + " " + std::to_string(r.height()));
}
void RecordingWindowHost::destroyWindow() {
    calls.push_back("destroyWindow");
}
void RecordingWindowHost::postQuit(int exitCode) {
    calls.push_back("postQuit " + std::to_string(exitCode));
}
bool RecordingWindowHost::trayAdd(const std::wstring& tip) {
    calls.push_back("trayAdd");
    tips.push_back(tip);
    return trayResult;
}
bool RecordingWindowHost::trayModify(const std::wstring& tip) {
    calls.push_back("trayModify");
    tips.push_back(tip);
    return trayResult;
}
bool RecordingWindowHost::trayDelete() {
    calls.push_back("trayDelete");
    return trayResult;
}
void RecordingWindowHost::trackPopupMenu(const std::vector<MenuEntry>& entries) {
    calls.push_back("trackPopupMenu");
    menus.push_back(entries);
}
