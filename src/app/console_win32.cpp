#include "app/console_win32.h"

#include "base/utf8_text.h"

#include <windows.h>

namespace {

bool writeTo(HANDLE out, const std::wstring& line) {
    if (out == nullptr || out == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    DWORD written = 0;
    // A real console takes the text as it is; a file or pipe the caller redirected to gets
    // UTF-8.
    if (GetConsoleMode(out, &mode))
        return WriteConsoleW(out, line.c_str(), static_cast<DWORD>(line.size()), &written,
                             nullptr) != FALSE;
    const std::string bytes = utf8FromWide(line);
    return WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
           FALSE;
}

} // namespace

void printToParentConsole(const std::wstring& line) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    const std::wstring text = line + L"\r\n";
    if (!writeTo(GetStdHandle(STD_OUTPUT_HANDLE), text)) {
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        writeTo(console, text);
        if (console != INVALID_HANDLE_VALUE)
            CloseHandle(console);
    }
    FreeConsole();
}
