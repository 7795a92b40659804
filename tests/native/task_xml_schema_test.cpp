// The logon task's definition checked against Microsoft's published Task Scheduler schema
// (tests/schema) with xmllint, so a definition Windows would refuse fails here. Native only:
// the Windows tier has no xmllint.
#include "base/utf16.h"
#include "settings/autostart_task.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::wstring USER = L"S-1-5-21-1004336348-1177238915-682003330-1001";

struct Verdict {
    bool valid = false;
    std::string output;
};

// Writes the definition as the scheduler receives it (UTF-16LE, as its declaration says) and
// lets xmllint validate it.
Verdict validate(const std::wstring& xml) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("ventrasol_task_" + std::to_string(getpid()) + ".xml");
    {
        std::vector<std::uint8_t> bytes = utf16leBytes(xml);
        bytes.resize(bytes.size() - 2); // no terminator in a file
        std::ofstream out(file, std::ios::binary);
        out.put(static_cast<char>(0xFF)).put(static_cast<char>(0xFE));
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    const std::string command = std::string("xmllint --noout --schema '") + VENTRASOL_TASK_SCHEMA +
                                "' '" + file.string() + "' 2>&1";
    Verdict verdict;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            verdict.output += buffer;
        verdict.valid = pclose(pipe) == 0;
    } else {
        verdict.output = "xmllint could not be started";
    }
    std::filesystem::remove(file);
    return verdict;
}

} // namespace

TEST(TaskXmlSchemaTest, BothStartModesAndTheLongestPathConformToThePublishedSchema) {
    const std::wstring longest = L"C:\\Program Files\\" + std::wstring(237, L'a') + L".exe";
    ASSERT_EQ(longest.size(), 258u); // 260 with its quotes
    for (const std::wstring& path :
         {std::wstring(L"C:\\Program Files\\Lüfter & Co <neu>\\ventrasol.exe"), longest}) {
        for (const bool minimized : {true, false}) {
            std::wstring xml;
            ASSERT_EQ(autostartTaskXml({path, USER, minimized}, &xml), TaskXml::Done);
            const Verdict verdict = validate(xml);
            EXPECT_TRUE(verdict.valid) << verdict.output;
        }
    }
}

TEST(TaskXmlSchemaTest, TheSchemaCheckCatchesACommandOneCharacterTooLong) {
    // What the program refuses to write, written by hand: the check itself must see it.
    std::wstring xml;
    const std::wstring path = L"C:\\Program Files\\" + std::wstring(237, L'a') + L".exe";
    ASSERT_EQ(autostartTaskXml({path, USER, true}, &xml), TaskXml::Done);
    EXPECT_EQ(autostartTaskXml({path + L"x", USER, true}, &xml), TaskXml::PathTooLong);
    xml.insert(xml.find(L".exe&quot;</Command>"), L"x");
    const Verdict verdict = validate(xml);
    EXPECT_FALSE(verdict.valid);
    EXPECT_NE(verdict.output.find("Command"), std::string::npos) << verdict.output;
}
