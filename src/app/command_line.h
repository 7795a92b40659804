#pragma once

#include "settings/settings.h"

#include <optional>
#include <string>
#include <string_view>

// The program's command line: "--minimized" (or "-m") for a start in the tray, "--mode NAME"
// (or "--mode=NAME") to switch the mode, "--help". Arguments are split as Windows splits them,
// at blanks outside double quotes; switches and names are matched in any letter case.

// Exit codes of a process that does not run the window.
inline constexpr int EXIT_DONE = 0;        // help printed, or the mode handed over and applied
inline constexpr int EXIT_MODE_FAILED = 1; // the running program reports that the mode failed
inline constexpr int EXIT_USAGE = 2;       // an unknown switch or mode: nothing was done

enum class CommandLineAction {
    Start, // run (or hand the mode to the running program)
    Help,  // print the usage and exit with EXIT_DONE
    Refuse // print what is accepted and exit with EXIT_USAGE, changing nothing
};

struct CommandLine {
    CommandLineAction action = CommandLineAction::Start;
    bool hidden = false;
    std::optional<ControlMode> mode;
    // One line for the console: the usage, or what was refused and what is accepted.
    std::wstring message;
};

CommandLine parseCommandLine(const wchar_t* commandLine);

// "auto", "curve", "quiet", "balanced", "max", "manual" and the German captions' first words
// "kurve", "leise", "ausgewogen", "maximal", "manuell", in any letter case.
std::optional<ControlMode> modeFromName(std::wstring_view name);
