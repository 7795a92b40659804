#include "fakes/app_fixture.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_controller.h"
#include "platform/canvas_bounds.h"
#include "ui/frame_digest.h"
#include "ui/paint_window.h"

#include <memory>
#include <string>

namespace {

const Rect kClient{0, 0, 724, 1000};

class FrameDigestTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app.regulation.readings.fanList = {makeFan(0, 1200, 6000, 2400),
                                           makeFan(1, 1000, 5000, 2100)};
        auto controller = std::make_unique<RecordingController>();
        controller->connected = true;
        app.regulation.controller = std::move(controller);
    }
    std::vector<DigestEntry> digest() {
        std::vector<DigestEntry> entries;
        FrameDigestCanvas canvas(measurer, entries);
        paintWindow(canvas, kClient, app.ui, model());
        return entries;
    }
    // Where the last paint drew text containing needle.
    Rect whereIs(const std::wstring& needle) {
        RecordingCanvas recording;
        paintWindow(recording, kClient, app.ui, model());
        for (const DrawCall& c : recording.calls)
            if (c.text.find(needle) != std::wstring::npos)
                return c.kind == DrawCall::Kind::TextAt
                           ? Rect{c.at.x, c.at.y, c.at.x + 1, c.at.y + 1}
                           : c.rect;
        return {};
    }
    RecordingCanvas measurer;
};

TEST_F(FrameDigestTest, TheSamePictureChangesNothingOnAnyTab) {
    for (int tab = 0; tab < 6; ++tab) {
        app.ui.activeTab = tab;
        const auto before = digest();
        EXPECT_FALSE(before.empty());
        EXPECT_TRUE(changedAreas(before, digest(), kClient).empty()) << tab;
    }
}

TEST_F(FrameDigestTest, AMovedReadingMarksItsPlaceAndLeavesTheFrameAlone) {
    const auto before = digest();
    app.regulation.readings.fanList[0].currentRpm = 3456;
    const Rect value = whereIs(L"3456 RPM");
    ASSERT_GT(value.width(), 0);
    const std::vector<Rect> areas = changedAreas(before, digest(), kClient);
    bool valueRepainted = false;
    int repainted = 0;
    for (const Rect& a : areas) {
        valueRepainted = valueRepainted || intersects(a, value);
        repainted += a.width() * a.height();
        EXPECT_GE(a.top, 100) << "the header and the mode buttons did not change";
    }
    EXPECT_TRUE(valueRepainted);
    // The fan card's lines, its bar and the live-status row: a small part of the window.
    EXPECT_LT(repainted, kClient.width() * kClient.height() / 4);
}

TEST_F(FrameDigestTest, ChangedCallsCountWhereTheyWereAndWhereTheyAre) {
    const DigestEntry a{{10, 10, 20, 20}, 1}, b{{30, 30, 40, 40}, 2}, c{{700, 900, 800, 1100}, 3};
    const struct {
        const char* what;
        std::vector<DigestEntry> before, after;
        std::vector<Rect> expected;
    } cases[] = {
        {"equal", {a, b}, {a, b}, {}},
        {"one moved", {a, b}, {a, {{50, 5, 60, 15}, 2}}, {{30, 30, 40, 40}, {50, 5, 60, 15}}},
        {"moved onto its old place", {a, b}, {a, {{35, 35, 45, 45}, 2}}, {{30, 30, 45, 45}}},
        {"same place, other ink", {a, b}, {{a.bounds, 9}, b}, {a.bounds}},
        {"one more", {a}, {a, b}, {b.bounds}},
        {"one fewer", {a, b}, {a}, {b.bounds}},
        {"clipped to the client", {a}, {a, c}, {{700, 900, 724, 1000}}},
        {"a bridge joins two",
         {a, b},
         {{{5, 5, 6, 6}, 7}, {{20, 20, 30, 30}, 8}},
         {{5, 5, 6, 6}, {10, 10, 40, 40}}},
        {"everything gone", {a, b}, {}, {a.bounds, b.bounds}},
    };
    for (const auto& t : cases)
        EXPECT_EQ(changedAreas(t.before, t.after, kClient), t.expected) << t.what;
}

} // namespace
