#pragma once

#include <string>

// The scheduled task that starts the program at logon. An elevated program is not started from
// the Run key (Windows skips such entries while UAC is on); a task with the highest run level
// is.
inline constexpr wchar_t AUTOSTART_TASK_NAME[] = L"Ventrasol";

struct AutostartTask {
    std::wstring programPath; // the full path of the program to start
    std::wstring userId;      // whose logon starts it, and as whom it runs (a SID string)
    bool minimized = false;   // whether it starts with "--minimized"
};

// Whether a definition could be made, and if not, why.
enum class TaskXml {
    Done,
    NoPath,      // the program's path is empty
    PathTooLong, // the quoted path is longer than a task's Command may be (260 characters)
    PathNotText, // the path holds a character XML cannot carry
    NoUser,      // the user is empty or holds a character XML cannot carry
};

// The task definition as Task Scheduler XML (UTF-16 text): a logon trigger for the user, the
// user's interactive token at the highest run level, the quoted program path as the action,
// no time limit, no battery or idle conditions. Anything but Done leaves out untouched; the
// path is checked before the user.
TaskXml autostartTaskXml(const AutostartTask& task, std::wstring* out);

// The program the first Exec action of a task definition starts: the content of its Command
// element with XML's escapes resolved and enclosing quotes removed; empty when there is none.
std::wstring taskProgram(const std::wstring& xml);

// Whom a task definition runs as: its principal's UserId (a SID string or an account name),
// else its GroupId, with XML's escapes resolved; empty when it names neither.
std::wstring taskPrincipal(const std::wstring& xml);
