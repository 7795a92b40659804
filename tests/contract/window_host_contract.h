#pragma once

#include "platform/window_host.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// A WindowHost on a window of its own, plus the means to see what the requests did to that
// window. The Win32 probe looks at a real hidden window; the fake probe at the recorded state.
class WindowHostProbe {
public:
    virtual ~WindowHostProbe() = default;
    virtual WindowHost& host() = 0;

    virtual bool exists() = 0;
    virtual bool visible() = 0;
    virtual bool captured() = 0;
    // Whether part of the window waits for painting; validate() paints it all.
    virtual bool needsPainting() = 0;
    virtual void validate() = 0;
    // Whether the timer of that identifier fires within the given time.
    virtual bool timerFires(std::uint32_t id, int withinMs) = 0;
    // The window's outer rectangle in screen coordinates.
    virtual Rect windowRect() = 0;
    // The exit code of a quit request waiting in the queue, taken out of it.
    virtual std::optional<int> takeQuit() = 0;
    // The entries of the last popup menu as it was shown.
    virtual std::vector<MenuEntry> lastMenu() = 0;
    // The picture the tray icon shows now, as set; size 0 for the program's own icon.
    virtual TrayIconImage trayPicture() = 0;
    // The last balloon notification the shell was given, cut to what its record holds.
    virtual std::optional<TrayBalloon> lastBalloon() = 0;
    // The text of the tooltip that shows; empty while none does.
    virtual std::wstring tooltip() = 0;
};

struct WindowHostSubject {
    std::string name;
    std::function<std::unique_ptr<WindowHostProbe>()> make;
};

class WindowHostContract : public ::testing::TestWithParam<WindowHostSubject> {
protected:
    void SetUp() override { probe = GetParam().make(); }
    void TearDown() override { probe.reset(); }
    std::unique_ptr<WindowHostProbe> probe;
};

inline std::string windowHostSubjectName(const ::testing::TestParamInfo<WindowHostSubject>& info) {
    return info.param.name;
}

// Names the subject in failure messages instead of dumping its bytes.
inline void PrintTo(const WindowHostSubject& subject, std::ostream* os) {
    *os << subject.name;
}
