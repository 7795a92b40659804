#pragma once

#include "platform/window_host.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

// Records every request as a line of text ("invalidate 0", "setTimer 1001 1000", ...).
class RecordingWindowHost final : public WindowHost {
public:
    std::vector<std::string> calls;
    std::vector<std::vector<MenuEntry>> menus; // every menu shown
    std::vector<std::wstring> tips;            // the tip of every add and modify
    std::uint32_t dpi = 96;
    bool trayResult = true;
    bool captured = false;

    // The state the requests leave behind, as a real window would keep it.
    bool invalid = false; // part of the window waits for painting
    std::set<std::uint32_t> timers;
    bool visible = false;
    bool foreground = false;
    Rect windowRect;
    bool destroyed = false;
    std::optional<int> quitCode;
    bool trayAdded = false;
    std::uint32_t iconSize = 16;
    // The picture the icon shows (size 0: the program's own icon), cleared by a delete, and
    // the one it was added with each time.
    TrayIconImage icon;
    std::vector<TrayIconImage> iconsOnAdd;
    std::vector<TrayBalloon> balloons; // every notification the shell took
    ContrastMode contrast; // what contrastMode answers
    std::wstring tooltip;  // the tooltip shown, empty while none
    int tooltipX = 0, tooltipY = 0;

    int count(const std::string& call) const;

    void invalidate(bool erase) override;
    void setCapture() override;
    void releaseCapture() override;
    void setTimer(std::uint32_t id, std::uint32_t periodMs) override;
    void killTimer(std::uint32_t id) override;
    void showMainWindow() override;
    void setForeground() override;
    void setWindowRect(const Rect& rect) override;
    void destroyWindow() override;
    void postQuit(int exitCode) override;
    std::uint32_t windowDpi() override { return dpi; }
    bool trayAdd(const std::wstring& tip) override;
    bool trayModify(const std::wstring& tip) override;
    bool trayDelete() override;
    std::uint32_t trayIconSize() override { return iconSize; }
    bool traySetIcon(const TrayIconImage* image) override;
    bool trayNotify(const TrayBalloon& balloon) override;
    void trackPopupMenu(const std::vector<MenuEntry>& entries) override;
    ContrastMode contrastMode() override { return contrast; }
    void showTooltip(const std::wstring& text, int x, int y) override;
    void hideTooltip() override;
};
