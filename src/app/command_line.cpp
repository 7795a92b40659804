#include "app/command_line.h"

#include "base/bounded_format.h"
#include "base/texts.h"

#include <cstddef>
#include <cwctype>
#include <vector>

namespace {

bool sameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

// Quotes group blanks into an argument and are not part of it; an argument that is only
// quotes ("") is empty and left out.
std::vector<std::wstring> splitArguments(const wchar_t* commandLine) {
    std::vector<std::wstring> arguments;
    if (commandLine == nullptr)
        return arguments;
    std::wstring argument;
    bool quoted = false;
    for (const wchar_t* p = commandLine;; ++p) {
        const wchar_t c = *p;
        if (c == L'"') {
            quoted = !quoted;
            continue;
        }
        if (c == L'\0' || (!quoted && (c == L' ' || c == L'\t'))) {
            if (!argument.empty())
                arguments.push_back(argument);
            argument.clear();
            if (c == L'\0')
                return arguments;
            continue;
        }
        argument += c;
    }
}

// What the user typed, quoted in a one-line message: no control characters, not too long.
std::wstring shown(std::wstring_view text) {
    constexpr std::size_t limit = 40;
    std::wstring out;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i)
        out += text[i] < 0x20 ? L'?' : text[i];
    if (text.size() > limit)
        out += L"…";
    return out;
}

// A message that quotes what the user typed.
std::wstring quoting(TextId message, std::wstring_view typed) {
    wchar_t line[160];
    formatBounded(line, 160, text(message), shown(typed).c_str());
    return line;
}

CommandLine refuse(std::wstring why) {
    CommandLine result;
    result.action = CommandLineAction::Refuse;
    result.message = L"Ventrasol: " + why + text(TextId::CommandAccepted);
    return result;
}

} // namespace

std::optional<ControlMode> modeFromName(std::wstring_view name) {
    static const struct {
        const wchar_t* name;
        ControlMode mode;
    } names[] = {
        {L"auto", ControlMode::SystemAuto},     {L"curve", ControlMode::Curve},
        {L"kurve", ControlMode::Curve},         {L"quiet", ControlMode::Quiet},
        {L"leise", ControlMode::Quiet},         {L"balanced", ControlMode::Balanced},
        {L"ausgewogen", ControlMode::Balanced}, {L"max", ControlMode::Max},
        {L"maximal", ControlMode::Max},         {L"manual", ControlMode::Manual},
        {L"manuell", ControlMode::Manual},
    };
    for (const auto& n : names)
        if (sameIgnoringCase(name, n.name))
            return n.mode;
    return std::nullopt;
}

CommandLine parseCommandLine(const wchar_t* commandLine) {
    const std::vector<std::wstring> arguments = splitArguments(commandLine);
    CommandLine result;
    bool help = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring_view argument = arguments[i];
        if (sameIgnoringCase(argument, L"--minimized") || sameIgnoringCase(argument, L"-m")) {
            result.hidden = true;
            continue;
        }
        if (sameIgnoringCase(argument, L"--help") || sameIgnoringCase(argument, L"-h") ||
            argument == L"/?" || argument == L"-?") {
            help = true;
            continue;
        }
        std::wstring_view value;
        if (sameIgnoringCase(argument, L"--mode")) {
            if (i + 1 == arguments.size())
                return refuse(text(TextId::CommandNoMode));
            value = arguments[++i];
        } else if (argument.size() >= 7 && sameIgnoringCase(argument.substr(0, 7), L"--mode=")) {
            value = argument.substr(7);
            if (value.empty())
                return refuse(text(TextId::CommandNoMode));
        } else {
            return refuse(quoting(TextId::CommandUnknownArgument, argument));
        }
        const std::optional<ControlMode> mode = modeFromName(value);
        if (!mode)
            return refuse(quoting(TextId::CommandUnknownMode, value));
        if (result.mode && *result.mode != *mode)
            return refuse(text(TextId::CommandModeTwice));
        result.mode = mode;
    }
    if (help) {
        result.action = CommandLineAction::Help;
        result.message = text(TextId::CommandUsage);
    }
    return result;
}
