#pragma once

#include "platform/window_host.h"

#include <cstdint>
#include <vector>

#include <windows.h>

// A hidden top-level window for the Windows tests. It records what a popup menu showed (read
// when the menu opens) and closes every menu shortly after it opened, so menu tracking returns
// without a user. Destroyed with the object if still alive.
class TestWindow {
public:
    TestWindow();
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle() const { return window_; }
    // Dispatches waiting messages for up to ms milliseconds.
    void pump(int ms);
    // Dispatches messages until a WM_TIMER of id arrives (true) or ms pass (false).
    bool waitForTimer(std::uint32_t id, int ms);
    // Takes a WM_NULL posted to the window out of the queue, if there is one.
    bool takePostedNull();
    std::vector<MenuEntry> lastMenu() const { return menu_; }
    int menusShown() const { return menusShown_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void recordMenu(HMENU menu);

    HWND window_ = nullptr;
    std::vector<MenuEntry> menu_;
    int menusShown_ = 0;
    std::uint32_t lastTimer_ = 0;
};
