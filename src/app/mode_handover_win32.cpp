#include "app/mode_handover_win32.h"

#include "app/command_line.h"
#include "app/mode_handover.h"
#include "app/startup.h"

#include <windows.h>

namespace {

// A running program may be in the middle of its start-up (the driver service, WMI): it is
// given this long to take the mode.
constexpr ULONGLONG HANDOVER_LIMIT_MS = 30000;
constexpr UINT SEND_TIMEOUT_MS = 15000;
constexpr DWORD RETRY_MS = 200;

} // namespace

int handModeOver(ControlMode mode) {
    auto payload = encodeModeHandover(mode);
    COPYDATASTRUCT data{};
    data.dwData = MODE_HANDOVER_TAG;
    data.cbData = static_cast<DWORD>(payload.size());
    data.lpData = payload.data();
    const ULONGLONG deadline = GetTickCount64() + HANDOVER_LIMIT_MS;
    for (;;) {
        // The first instance holds the mutex before it has a window.
        HWND window = FindWindowW(WINDOW_CLASS_NAME, nullptr);
        if (window != nullptr) {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                     SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &result))
                return EXIT_MODE_FAILED; // hung, gone, or the message filter kept it out
            const auto reply = static_cast<HandoverReply>(result);
            if (reply != HandoverReply::Starting)
                return exitCodeForReply(reply);
        }
        if (GetTickCount64() >= deadline)
            return EXIT_MODE_FAILED;
        Sleep(RETRY_MS);
    }
}
