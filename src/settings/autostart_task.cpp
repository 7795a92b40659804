#include "settings/autostart_task.h"

#include <cstddef>
#include <cwchar>

namespace {

constexpr std::size_t MODULE_PATH_CAPACITY = 260; // MAX_PATH, terminator included

// Control characters other than tab are not allowed in XML 1.0 text, escaped or not.
bool xmlCarries(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c < 0x20 && c != L'\t')
            return false;
    }
    return true;
}

std::wstring escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'&':
            out += L"&amp;";
            break;
        case L'<':
            out += L"&lt;";
            break;
        case L'>':
            out += L"&gt;";
            break;
        case L'"':
            out += L"&quot;";
            break;
        case L'\'':
            out += L"&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Resolves the five named escapes and numeric character references; anything else is kept as
// written.
std::wstring unescaped(const std::wstring& text) {
    static const struct {
        const wchar_t* name;
        wchar_t c;
    } named[] = {{L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t end = text[i] == L'&' ? text.find(L';', i) : std::wstring::npos;
        if (end == std::wstring::npos || end - i > 10) {
            out += text[i];
            continue;
        }
        const std::wstring name = text.substr(i + 1, end - i - 1);
        bool resolved = false;
        for (const auto& n : named) {
            if (name == n.name) {
                out += n.c;
                resolved = true;
            }
        }
        if (!resolved && name.size() > 1 && name[0] == L'#') {
            const bool hex = name[1] == L'x' || name[1] == L'X';
            wchar_t* stop = nullptr;
            const unsigned long code =
                std::wcstoul(name.c_str() + (hex ? 2 : 1), &stop, hex ? 16 : 10);
            if (stop && *stop == L'\0' && code > 0 && code <= 0xFFFF) {
                out += static_cast<wchar_t>(code);
                resolved = true;
            }
        }
        if (resolved)
            i = end;
        else
            out += text[i];
    }
    return out;
}

} // namespace

bool autostartTaskXml(const AutostartTask& task, std::wstring* out) {
    if (task.programPath.empty() || task.programPath.size() >= MODULE_PATH_CAPACITY ||
        task.userId.empty() || !xmlCarries(task.programPath) || !xmlCarries(task.userId))
        return false;
    const std::wstring user = escaped(task.userId);
    std::wstring xml =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
        L"  <RegistrationInfo>\n"
        L"    <Description>Startet Ventrasol bei der Anmeldung.</Description>\n"
        L"  </RegistrationInfo>\n"
        L"  <Triggers>\n"
        L"    <LogonTrigger>\n"
        L"      <Enabled>true</Enabled>\n"
        L"      <UserId>" +
        user +
        L"</UserId>\n"
        L"    </LogonTrigger>\n"
        L"  </Triggers>\n"
        L"  <Principals>\n"
        L"    <Principal id=\"Author\">\n"
        L"      <UserId>" +
        user +
        L"</UserId>\n"
        L"      <LogonType>InteractiveToken</LogonType>\n"
        L"      <RunLevel>HighestAvailable</RunLevel>\n"
        L"    </Principal>\n"
        L"  </Principals>\n"
        L"  <Settings>\n"
        L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
        L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
        L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
        L"    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>\n"
        L"    <RunOnlyIfIdle>false</RunOnlyIfIdle>\n"
        L"    <IdleSettings>\n"
        L"      <StopOnIdleEnd>false</StopOnIdleEnd>\n"
        L"      <RestartOnIdle>false</RestartOnIdle>\n"
        L"    </IdleSettings>\n"
        L"    <Enabled>true</Enabled>\n"
        L"  </Settings>\n"
        L"  <Actions Context=\"Author\">\n"
        L"    <Exec>\n"
        L"      <Command>" +
        escaped(L"\"" + task.programPath + L"\"") + L"</Command>\n";
    if (task.minimized)
        xml += L"      <Arguments>--minimized</Arguments>\n";
    xml += L"    </Exec>\n"
           L"  </Actions>\n"
           L"</Task>\n";
    *out = xml;
    return true;
}

std::wstring taskProgram(const std::wstring& xml) {
    const std::size_t exec = xml.find(L"<Exec>");
    if (exec == std::wstring::npos)
        return {};
    const std::wstring open = L"<Command>";
    const std::size_t begin = xml.find(open, exec);
    const std::size_t end = xml.find(L"</Command>", exec);
    if (begin == std::wstring::npos || end == std::wstring::npos || end < begin)
        return {};
    std::wstring command = unescaped(xml.substr(begin + open.size(), end - begin - open.size()));
    if (command.size() >= 2 && command.front() == L'"' && command.back() == L'"')
        command = command.substr(1, command.size() - 2);
    return command;
}
