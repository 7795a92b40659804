#pragma once

#include <cstddef>
#include <string>

// The value under the user's Run key that starts the program with Windows.
inline constexpr wchar_t RUN_KEY_PATH[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t RUN_VALUE_NAME[] = L"Ventrasol";

// The fixed buffers of the command line: the program path and the whole command line, in
// characters with the terminator, and the largest Run value that still counts as present.
inline constexpr std::size_t MODULE_PATH_CAPACITY = 260;
inline constexpr std::size_t COMMAND_LINE_CAPACITY = 292;
inline constexpr unsigned RUN_VALUE_MAX_BYTES = 1024;

// The quoted program path, followed by " --minimized" when asked. False, leaving out untouched,
// when the path is empty or it or the command line would not fit its buffer whole: a cut
// path would register a different program.
bool autostartCommandLine(const std::wstring& programPath, bool minimized, std::wstring* out);

// Whether a Run value of the program's name exists and fits the read buffer; its content is
// not examined.
bool readAutostartState();

// Writes or removes the Run value, sets the notice, and saves all settings.
void setAutostart(bool enable);

// Inverts the start-minimised option; while autostart is on the Run value is rewritten at once
// so its command line carries "--minimized" exactly when the option is now on. Saves either way.
void toggleStartMinimized();
