#pragma once

#include "platform/window_host.h"

// A window host that accepts every request and keeps nothing: the tray tooltip refresh of a
// tick then costs what the program's own side of it costs.
class QuietWindowHost final : public WindowHost {
public:
    void invalidate(bool) override {}
    void setCapture() override {}
    void releaseCapture() override {}
    void setTimer(std::uint32_t, std::uint32_t) override {}
    void killTimer(std::uint32_t) override {}
    void showMainWindow() override {}
    void setForeground() override {}
    void setWindowRect(const Rect&) override {}
    void destroyWindow() override {}
    void postQuit(int) override {}
    std::uint32_t windowDpi() override { return 96; }
    bool trayAdd(const std::wstring&) override { return true; }
    bool trayModify(const std::wstring&) override { return true; }
    bool trayDelete() override { return true; }
    std::uint32_t trayIconSize() override { return 16; }
    bool traySetIcon(const TrayIconImage*) override { return true; }
    bool trayNotify(const TrayBalloon&) override { return true; }
    void trackPopupMenu(const std::vector<MenuEntry>&) override {}
    ContrastMode contrastMode() override { return {}; }
    void showTooltip(const std::wstring&, int, int) override {}
    void hideTooltip() override {}
};
