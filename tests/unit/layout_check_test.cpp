#include "fakes/app_fixture.h"
#include "fakes/layout_check.h"

#include <gtest/gtest.h>

namespace {

std::string joined(const std::vector<std::string>& faults) {
    std::string out;
    for (std::size_t i = 0; i < faults.size() && i < 40; ++i)
        out += faults[i] + "\n";
    return out;
}

} // namespace

class LayoutCheckTest : public AppTest {};

TEST_F(LayoutCheckTest, CheckerFindsOverflowOverprintAndTextOffItsShape) {
    struct Case {
        const char* what;
        void (*draw)(RecordingCanvas&);
        std::size_t faults;
    } cases[] = {
        {"clean",
         [](RecordingCanvas& c) {
             c.roundPanel({0, 0, 300, 100}, 10, 1, 2);
             c.textAt(10, 10, L"Lüfter", Font::FontBold, 3);
             c.textIn({10, 40, 200, 60}, L"2200 RPM", Font::FontBold, 3, TextAlign::Right);
         },
         0},
        {"wider than its box",
         [](RecordingCanvas& c) {
             c.roundPanel({0, 0, 300, 100}, 10, 1, 2);
             c.textIn({100, 40, 130, 60}, L"2200 RPM", Font::FontBold, 3, TextAlign::Center);
         },
         1},
        {"runs past the card",
         [](RecordingCanvas& c) {
             c.roundPanel({0, 0, 100, 100}, 10, 1, 2);
             c.textAt(10, 10, L"Manuelle Drehzahl-Vorgabe:", Font::FontSmall, 3);
         },
         1},
        {"label under its value",
         [](RecordingCanvas& c) {
             c.roundPanel({0, 0, 300, 100}, 10, 1, 2);
             c.textAt(10, 10, L"Manuelle Drehzahl-Vorgabe:", Font::FontSmall, 3);
             c.textIn({100, 10, 200, 30}, L"2200 RPM", Font::FontBold, 3, TextAlign::Right);
         },
         1},
        {"on no shape", [](RecordingCanvas& c) { c.textAt(10, 10, L"x", Font::FontSmall, 3); }, 1},
    };
    for (const Case& k : cases) {
        RecordingCanvas canvas;
        k.draw(canvas);
        EXPECT_EQ(findLayoutFaults(canvas).size(), k.faults) << k.what;
    }
}

TEST_F(LayoutCheckTest, EveryTextOfEveryTabFitsWithTheFixedTextModel) {
    const std::vector<std::string> faults = layoutFaultsOfEveryTab(nullptr);
    EXPECT_TRUE(faults.empty()) << faults.size() << " faults:\n" << joined(faults);
}
