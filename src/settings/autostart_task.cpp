#include "settings/autostart_task.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>

namespace {

// The schema's limit for a task's Command, counted here in UTF-16 units (a character outside
// the Basic Multilingual Plane counts twice), which is never fewer than its characters.
constexpr std::size_t COMMAND_UNITS = 260;

// Whether XML 1.0 can carry the text: no control characters (tab aside; a line break or a NUL
// belongs in no path or account), no noncharacter U+FFFE or U+FFFF, and a surrogate only as
// the lead and trail of one pair. A definition holding anything else is refused by the
// scheduler's parser, whatever is at fault.
bool xmlCarries(const std::wstring& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<std::uint32_t>(text[i]);
        if ((c < 0x20 && c != L'\t') || c == 0xFFFE || c == 0xFFFF || c > 0x10FFFF)
            return false;
        if (c >= 0xDC00 && c <= 0xDFFF)
            return false; // a trail without its lead
        if (c >= 0xD800 && c <= 0xDBFF) {
            // Only UTF-16 strings hold pairs; in UTF-32 every surrogate stands alone.
            const bool paired = sizeof(wchar_t) == 2 && i + 1 < text.size() &&
                                static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
                                static_cast<std::uint32_t>(text[i + 1]) <= 0xDFFF;
            if (!paired)
                return false;
            ++i;
        }
    }
    return true;
}

std::size_t utf16Units(const std::wstring& text) {
    std::size_t units = 0;
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        units += code > 0xFFFF ? 2 : 1;
    }
    return units;
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

// The text of the first element of that name at or after from, escapes resolved; empty when
// there is none or it is not closed.
std::wstring elementText(const std::wstring& xml, std::size_t from, const std::wstring& name) {
    const std::wstring open = L"<" + name + L">";
    const std::size_t begin = xml.find(open, from);
    const std::size_t end = xml.find(L"</" + name + L">", from);
    if (begin == std::wstring::npos || end == std::wstring::npos || end < begin)
        return {};
    return unescaped(xml.substr(begin + open.size(), end - begin - open.size()));
}

} // namespace

TaskXml autostartTaskXml(const AutostartTask& task, std::wstring* out) {
    if (task.programPath.empty())
        return TaskXml::NoPath;
    if (!xmlCarries(task.programPath))
        return TaskXml::PathNotText;
    if (utf16Units(task.programPath) + 2 > COMMAND_UNITS) // with its quotes
        return TaskXml::PathTooLong;
    if (task.userId.empty() || !xmlCarries(task.userId))
        return TaskXml::NoUser;
    const std::wstring user = escaped(task.userId);
    std::wstring xml =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        L"<Task version=\"1.3\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
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
    return TaskXml::Done;
}

std::wstring taskProgram(const std::wstring& xml) {
    const std::size_t exec = xml.find(L"<Exec>");
    if (exec == std::wstring::npos)
        return {};
    std::wstring command = elementText(xml, exec, L"Command");
    if (command.size() >= 2 && command.front() == L'"' && command.back() == L'"')
        command = command.substr(1, command.size() - 2);
    return command;
}

std::wstring taskPrincipal(const std::wstring& xml) {
    const std::size_t principals = xml.find(L"<Principals>");
    if (principals == std::wstring::npos)
        return {};
    const std::size_t end = xml.find(L"</Principals>", principals);
    const std::wstring section =
        xml.substr(principals, end == std::wstring::npos ? std::wstring::npos : end - principals);
    const std::wstring user = elementText(section, 0, L"UserId");
    return user.empty() ? elementText(section, 0, L"GroupId") : user;
}
