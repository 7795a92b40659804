#include "fakes/recording_window_host.h"

#include "base/bounded_format.h"

#include <algorithm>
#include <cstddef>

int RecordingWindowHost::count(const std::string& call) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

void RecordingWindowHost::invalidate(bool erase) {
    calls.push_back(erase ? "invalidate 1" : "invalidate 0");
    invalid = true;
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
    timers.insert(id);
}
void RecordingWindowHost::killTimer(std::uint32_t id) {
    calls.push_back("killTimer " + std::to_string(id));
    timers.erase(id);
}
void RecordingWindowHost::showMainWindow() {
    calls.push_back("showMainWindow");
    visible = true;
    foreground = true;
}
void RecordingWindowHost::setForeground() {
    calls.push_back("setForeground");
    foreground = true;
}
void RecordingWindowHost::setWindowRect(const Rect& r) {
    calls.push_back("setWindowRect " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                    std::to_string(r.width()) + " " + std::to_string(r.height()));
    windowRect = r;
}
void RecordingWindowHost::destroyWindow() {
    calls.push_back("destroyWindow");
    destroyed = true;
    visible = false;
    captured = false;
    timers.clear();
}
void RecordingWindowHost::postQuit(int exitCode) {
    calls.push_back("postQuit " + std::to_string(exitCode));
    quitCode = exitCode;
}
bool RecordingWindowHost::trayAdd(const std::wstring& tip) {
    calls.push_back("trayAdd");
    tips.push_back(tip);
    iconsOnAdd.push_back(icon);
    // The shell refuses a second icon of the same identifier.
    if (!trayResult || trayAdded)
        return false;
    trayAdded = true;
    return true;
}
bool RecordingWindowHost::trayModify(const std::wstring& tip) {
    calls.push_back("trayModify");
    tips.push_back(tip);
    return trayResult && trayAdded;
}
bool RecordingWindowHost::trayDelete() {
    calls.push_back("trayDelete");
    const bool removed = trayResult && trayAdded;
    trayAdded = false;
    icon = TrayIconImage{};
    return removed;
}
bool RecordingWindowHost::traySetIcon(const TrayIconImage* image) {
    calls.push_back(image != nullptr ? "traySetIcon" : "traySetIcon program");
    if (!trayResult || !trayAdded)
        return false;
    // A picture no icon can be made of is refused, as GDI would.
    if (image != nullptr &&
        (image->size == 0 || image->pixels.size() != std::size_t{image->size} * image->size))
        return false;
    icon = image != nullptr ? *image : TrayIconImage{};
    return true;
}
bool RecordingWindowHost::trayNotify(const TrayBalloon& balloon) {
    calls.push_back("trayNotify");
    if (!trayResult || !trayAdded)
        return false;
    // The shell's record holds 63 characters of title and 255 of text.
    wchar_t title[64];
    wchar_t text[256];
    copyBounded(title, 64, balloon.title.c_str());
    copyBounded(text, 256, balloon.text.c_str());
    balloons.push_back({title, text, balloon.kind});
    return true;
}
void RecordingWindowHost::trackPopupMenu(const std::vector<MenuEntry>& entries) {
    calls.push_back("trackPopupMenu");
    menus.push_back(entries);
}
void RecordingWindowHost::showTooltip(const std::wstring& text, int x, int y) {
    calls.push_back("showTooltip");
    tooltip = text;
    tooltipX = x;
    tooltipY = y;
}
void RecordingWindowHost::hideTooltip() {
    calls.push_back("hideTooltip");
    tooltip.clear();
}
