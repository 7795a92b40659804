#pragma once

#include "platform/window_host.h"

#include <cstdint>
#include <string>

#include <windows.h>

#include <shellapi.h>

// The main window and its notification-area icon, on the window given at construction.
// It owns only the icon record; the window belongs to whoever created it.
class Win32WindowHost final : public WindowHost {
public:
    // Asked first when only content changed: invalidates just what differs, or returns false
    // to have the whole window invalidated.
    using PartialInvalidate = bool (*)(HWND window);
    // Shell_NotifyIconW, or a stand-in for it that sees every request.
    using ShellNotify = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW data);

    explicit Win32WindowHost(std::uintptr_t window, PartialInvalidate partial = nullptr,
                             ShellNotify shell = &Shell_NotifyIconW);
    ~Win32WindowHost() override;
    Win32WindowHost(const Win32WindowHost&) = delete;
    Win32WindowHost& operator=(const Win32WindowHost&) = delete;

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
    std::uint32_t windowDpi() override;

    bool trayAdd(const std::wstring& tip) override;
    bool trayModify(const std::wstring& tip) override;
    bool trayDelete() override;
    std::uint32_t trayIconSize() override;
    bool traySetIcon(const TrayIconImage* image) override;
    bool trayNotify(const TrayBalloon& balloon) override;
    void trackPopupMenu(const std::vector<MenuEntry>& entries) override;
    ContrastMode contrastMode() override;
    void showTooltip(const std::wstring& text, int x, int y) override;
    void hideTooltip() override;

    // The tooltip window, made at the first showTooltip; null before. It belongs to the main
    // window and goes with it.
    HWND tooltipWindow() const { return tooltip_; }

    // The record sent to the shell; its size field is 0 until the icon was added. After a
    // notification it holds the balloon's fields too (sent only with that request).
    const NOTIFYICONDATAW& trayRecord() const { return tray_; }

private:
    HWND window_;
    PartialInvalidate partial_;
    ShellNotify shell_;
    NOTIFYICONDATAW tray_{};
    // The picture made for the icon, owned until a newer one was set or the icon removed;
    // nullptr while the program's own (shared) icon is shown.
    HICON ownedIcon_ = nullptr;
    HWND tooltip_ = nullptr;
    std::wstring tooltipText_; // the tool's text lives as long as the tool shows it
};
