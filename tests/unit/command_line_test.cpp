#include "app/command_line.h"
#include "base/texts.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr auto Start = CommandLineAction::Start;
constexpr auto Help = CommandLineAction::Help;
constexpr auto Refuse = CommandLineAction::Refuse;

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace

TEST(CommandLineTest, EveryAcceptedForm) {
    const struct {
        const wchar_t* line;
        bool hidden;
        std::optional<ControlMode> mode;
    } cases[] = {
        {nullptr, false, std::nullopt},
        {L"   \t ", false, std::nullopt},
        {L"\"\"", false, std::nullopt}, // an empty argument is no argument
        {L"-M", true, std::nullopt},
        {L"  \"--Minimized\"  ", true, std::nullopt},
        {L"--mode auto", false, ControlMode::SystemAuto},
        {L"--mode kurve", false, ControlMode::Curve},
        {L"--mode CURVE", false, ControlMode::Curve},
        {L"--mode Leise", false, ControlMode::Quiet},
        {L"--mode balanced", false, ControlMode::Balanced},
        {L"--mode ausgewogen", false, ControlMode::Balanced},
        {L"--mode Maximal", false, ControlMode::Max},
        {L"--mode manual", false, ControlMode::Manual},
        {L"--mode MANUELL", false, ControlMode::Manual},
        {L"--Mode=quiet", false, ControlMode::Quiet},
        {L"--mode \"max\"", false, ControlMode::Max},
        {L"--mode\tmax -m", true, ControlMode::Max},
        {L"--minimized --mode=leise", true, ControlMode::Quiet},
        {L"--mode max --mode maximal", false, ControlMode::Max}, // the same mode twice
    };
    for (const auto& c : cases) {
        const CommandLine parsed = parseCommandLine(c.line);
        const std::string line = c.line ? narrow(c.line) : "(null)";
        EXPECT_EQ(parsed.action, Start) << line;
        EXPECT_EQ(parsed.hidden, c.hidden) << line;
        EXPECT_EQ(parsed.mode, c.mode) << line;
        EXPECT_TRUE(parsed.message.empty()) << line;
    }
}

TEST(CommandLineTest, EveryRefusalSaysWhatIsAcceptedOnOneLine) {
    const struct {
        const wchar_t* line;
        const wchar_t* says;
    } cases[] = {
        {L"--mode bogus", L"unbekannter Modus 'bogus'"},
        {L"--mode", L"--mode ohne Modus"},
        {L"--mode=", L"--mode ohne Modus"},
        {L"-m --mode", L"--mode ohne Modus"},
        {L"--mode --minimized", L"unbekannter Modus '--minimized'"},
        {L"--mode system-auto", L"unbekannter Modus 'system-auto'"},
        {L"--mode quiet --mode max", L"--mode mehrmals"},
        {L"-mode quiet", L"unbekannte Angabe '-mode'"},
        {L"foo-mbar", L"unbekannte Angabe 'foo-mbar'"},
        {L"/m", L"unbekannte Angabe '/m'"},
        {L"--minimized2", L"unbekannte Angabe '--minimized2'"},
        {L"\"-m x\"", L"unbekannte Angabe '-m x'"},
        {L"quiet", L"unbekannte Angabe 'quiet'"},
        {L"--help --mode bogus", L"unbekannter Modus 'bogus'"},
        {L"--mode a\rb", L"unbekannter Modus 'a?b'"},
        {L"--mode 0123456789012345678901234567890123456789X",
         L"'0123456789012345678901234567890123456789…'"},
    };
    for (const auto& c : cases) {
        const CommandLine parsed = parseCommandLine(c.line);
        EXPECT_EQ(parsed.action, Refuse) << narrow(c.line);
        EXPECT_EQ(parsed.mode, std::nullopt) << narrow(c.line);
        EXPECT_NE(parsed.message.find(c.says), std::wstring::npos) << narrow(parsed.message);
        EXPECT_NE(parsed.message.find(L"Erlaubt: --mode auto|curve|quiet|balanced|max|manual"),
                  std::wstring::npos)
            << narrow(c.line);
        EXPECT_EQ(parsed.message.find_first_of(L"\r\n"), std::wstring::npos) << narrow(c.line);
    }
}

TEST(CommandLineTest, HelpPrintsTheUsageAndExitCodesAreFixed) {
    for (const wchar_t* line :
         {L"--help", L"-h", L"/?", L"-?", L"--HELP -m", L"--mode max --help"}) {
        const CommandLine parsed = parseCommandLine(line);
        EXPECT_EQ(parsed.action, Help) << narrow(line);
        EXPECT_EQ(parsed.message, text(TextId::CommandUsage));
    }
    EXPECT_EQ(EXIT_DONE, 0);
    EXPECT_EQ(EXIT_MODE_FAILED, 1);
    EXPECT_EQ(EXIT_USAGE, 2);
}
