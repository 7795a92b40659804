#pragma once

#include "platform/accessibility.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

// The window's UI Automation provider: a fragment root for the window and one fragment per
// element of the tree the program publishes. Nothing of it exists until a client first asks for
// the window's root (WM_GETOBJECT); until then, and while no client listens, it costs nothing.
//
// Clients call the provider on threads of COM's, never on the window's: the fragments read the
// last published tree under a lock. When the window changed since (markStale), they first send
// refreshMessage to the window, whose handler publishes a fresh tree on its own thread. What a
// client asks an element to do is posted to the window as actionMessage: wParam carries the
// element's key and the action (key << 8 | action), lParam a value's bits (a slider's).
struct UiaShared;
struct IRawElementProviderSimple;

class Win32UiaProvider {
public:
    Win32UiaProvider(HWND window, UINT refreshMessage, UINT actionMessage);
    ~Win32UiaProvider();
    Win32UiaProvider(const Win32UiaProvider&) = delete;
    Win32UiaProvider& operator=(const Win32UiaProvider&) = delete;

    // The window's fragment root, with a reference for the caller; made at the first call.
    // Null once disconnected.
    IRawElementProviderSimple* root();

    // WM_GETOBJECT: the root for UiaRootObjectId; false for every other object id (the caller
    // passes those to DefWindowProcW). result is what the window procedure returns.
    bool onGetObject(WPARAM wParam, LPARAM lParam, LRESULT* result);

    // The window's state changed: the next question of a client publishes the tree again.
    void markStale();
    // The tree as it stands now, in the window's scale (layout pixels times scale are the
    // client's pixels). Only on the window's thread.
    void publish(std::vector<AccessibleElement> elements, float scale);
    // Whether a client listens for events; false until a client has asked for the root.
    bool listening();
    // Raises the events of what differs between the tree last published and elements (focus,
    // switch, value, selection), and the live-region event for the keys in live; then
    // publishes elements. Only on the window's thread.
    void publishWithEvents(std::vector<AccessibleElement> elements, float scale,
                           const std::vector<std::int32_t>& live);
    // WM_DESTROY: tells the clients the elements are gone and stops answering them.
    void disconnect();

    // Decodes actionMessage's wParam.
    static std::int32_t actionKey(WPARAM wParam) { return static_cast<std::int32_t>(wParam >> 8); }
    static AccessibleAction action(WPARAM wParam) {
        return static_cast<AccessibleAction>(wParam & 0xFF);
    }
    static double actionValue(LPARAM lParam);

private:
    std::shared_ptr<UiaShared> shared_;
};
