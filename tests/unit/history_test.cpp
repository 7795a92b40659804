#include "fakes/app_fixture.h"
#include "fakes/recording_canvas.h"
#include "fakes/recording_controller.h"
#include "ui/history.h"
#include "ui/history_chart.h"

#include <cmath>

class HistoryTest : public AppTest {};

TEST_F(HistoryTest, RingKeepsTheNewestSamplesInOrder) {
    History h;
    for (int i = 0; i < 305; ++i)
        h.push({static_cast<float>(i), 0.0f, {0.0f, 0.0f}});
    EXPECT_EQ(h.count, HISTORY_CAPACITY);
    EXPECT_EQ(h.byAge(0).cpu, 304.0f);
    EXPECT_EQ(h.byAge(1).cpu, 303.0f);
    EXPECT_EQ(h.byAge(HISTORY_CAPACITY - 1).cpu, 5.0f);
}

TEST_F(HistoryTest, ValuesThatAreNoReadingsBecomeGaps) {
    app.regulation.readings.fanList = {makeFan(0, 1000, 5000, 2400), makeFan(1, 1000, 5000, 1800)};
    struct Case {
        const char* what;
        bool cpuLost, gpuFallback, fan1Commanded;
    } cases[] = {
        {"all readings", false, false, false},
        {"CPU lost", true, false, false},
        {"GPU a stand-in", false, true, false},
        {"fan 2 only commanded", false, false, true},
    };
    for (const Case& c : cases) {
        app.regulation.readings.cpuTempLost = c.cpuLost;
        app.regulation.readings.quality.gpuTempFallback = c.gpuFallback;
        app.regulation.readings.fanList[1].measured = !c.fan1Commanded;
        recordHistorySample(app.ui.history, app.regulation.readings);
        const HistorySample& s = app.ui.history.byAge(0);
        EXPECT_EQ(std::isnan(s.cpu), c.cpuLost) << c.what;
        EXPECT_EQ(std::isnan(s.gpu), c.gpuFallback) << c.what;
        EXPECT_EQ(s.fan[0], 2400.0f) << c.what;
        EXPECT_EQ(std::isnan(s.fan[1]), c.fan1Commanded) << c.what;
    }
    app.regulation.readings.fanList.resize(1);
    recordHistorySample(app.ui.history, app.regulation.readings);
    EXPECT_TRUE(std::isnan(app.ui.history.byAge(0).fan[1])) << "a missing fan is a gap";
}

TEST_F(HistoryTest, ChartDrawsEachRunOfReadingsAsItsOwnLineAtItsValue) {
    app.regulation.readings.fanList = {makeFan(0, 0, 6000, 3000)};
    // CPU: 60 °C, 60 °C, lost, 100 °C, 100 °C (oldest first).
    for (float cpu : {60.0f, 60.0f, NAN, 100.0f, 100.0f})
        app.ui.history.push({cpu, NAN, {3000.0f, NAN}});
    RecordingCanvas canvas;
    const Rect card{243, 500, 722, 800};
    const Rect plot = paintHistoryCard(canvas, card, app.ui, app.regulation.readings.fanList);
    EXPECT_EQ(plot, historyPlotRect(card));
    std::vector<const DrawCall*> cpu, fan;
    for (const DrawCall* p : canvas.ofKind(DrawCall::Kind::Polyline)) {
        if (p->points.size() < 2)
            continue;
        (p->fill == rgb(255, 159, 10) ? cpu : fan).push_back(p);
    }
    ASSERT_EQ(cpu.size(), 2u) << "the lost sample splits the CPU line";
    const int mid = plot.bottom - 1 - static_cast<int>(std::lround(0.5 * (plot.height() - 1)));
    EXPECT_EQ(cpu[0]->points.front().y, mid);
    EXPECT_EQ(cpu[1]->points.back(), (Point{plot.right - 1, plot.top}));
    EXPECT_LT(cpu[0]->points.back().x, cpu[1]->points.front().x);
    ASSERT_EQ(fan.size(), 1u) << "one line for fan 1 and none for the absent fan 2";
    // A steady reading needs only its two ends, and still spans all five samples.
    ASSERT_EQ(fan[0]->points.size(), 2u);
    EXPECT_EQ(fan[0]->points.front().x, cpu[0]->points.front().x);
    EXPECT_EQ(fan[0]->points.back(), (Point{plot.right - 1, mid}));
    EXPECT_NE(canvas.findText(L"jetzt"), nullptr);
    EXPECT_NE(canvas.findText(L"−5 min"), nullptr);
    EXPECT_NE(canvas.findText(L"6000 RPM"), nullptr);
    EXPECT_NE(canvas.findText(L"100 °C"), nullptr);
}
