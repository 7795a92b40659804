#include "app/csv_log_format.h"
#include "app/measurement_log.h"
#include "app/window_events.h"
#include "base/texts.h"
#include "base/utf8_text.h"
#include "fakes/automation_fixture.h"

#include <chrono>
#include <future>
#include <optional>

namespace {

using namespace std::chrono_literals;

LocalTime at(int year, int month, int day, int hour, int minute, int second, int offset = 120) {
    return {year, month, day, hour, minute, second, offset};
}

// The moment `seconds` after 2024-05-01 12:00:00 (+02:00), within the same day.
LocalTime may1(int seconds) {
    return at(2024, 5, 1, 12 + seconds / 3600, seconds / 60 % 60, seconds % 60);
}

RegulationEvent event(RegulationEventKind kind, ControlMode mode = ControlMode::SystemAuto,
                      HandBackReason reason = HandBackReason::None, double temperature = 0.0) {
    RegulationEvent e;
    e.kind = kind;
    e.mode = mode;
    e.reason = reason;
    e.temperature = temperature;
    return e;
}

int lines(const std::string& text) {
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

const std::wstring FOLDER = L"C:\\Users\\test\\AppData\\Local\\Ventrasol\\Protokoll";
const std::wstring MAY1 = FOLDER + L"\\ventrasol-2024-05-01.csv";
const std::wstring MAY2 = FOLDER + L"\\ventrasol-2024-05-02.csv";

class MeasurementLogTest : public AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        app.settings.automation.csvLog = true;
    }
    void tick(const LocalTime& now) {
        logTick(app.measurementLog, app.settings, app.regulation, now);
        app.regulation.events.clear();
    }
    void written() { ASSERT_TRUE(app.measurementLog.writer->waitIdle(10s)); }
};

} // namespace

TEST(CsvLogFormatTest, HeaderAndARowWithEmptyCellsForWhatWasNotMeasured) {
    EXPECT_EQ(csvHeader(), "Zeit,Modus,CPU (°C),GPU (°C),Leistung (W),Lüfter 1 (RPM),"
                           "Lüfter 1 Soll (RPM),Lüfter 2 (RPM),Lüfter 2 Soll (RPM),Ereignis\n");
    Settings settings;
    settings.mode = ControlMode::Max;
    Readings r;
    r.cpuTemp = 67.44;
    r.gpuTemp = 58.9;
    r.gpuTempLost = true;
    r.powerWatts = 104.0;
    r.fanList = {makeFan(0, 1200, 6000, 2416.4), makeFan(1, 1000, 5000, 1800)};
    r.fanList[0].targetRpm = 2416.0;
    r.fanList[1].measured = false; // only asked for
    r.fanList[1].targetRpm = 2000.0;
    EXPECT_EQ(csvRow(at(2024, 5, 1, 14, 3, 5), settings, r, {}),
              "2024-05-01T14:03:05+02:00,Maximal (Turbo),67.4,,104.0,2416,2416,,2000,\n");

    // Stand-ins, a lost power reading, one fan: empty cells, never made-up numbers.
    r.gpuTempLost = false;
    r.quality.cpuTempFallback = true;
    r.powerLost = true;
    r.fanList.resize(1);
    const RegulationEvent failed{RegulationEventKind::ModeApplied,
                                 ControlMode::Quiet,
                                 HandBackReason::None,
                                 false,
                                 0.0,
                                 L"Profil \"x\", nicht"};
    EXPECT_EQ(csvRow(at(2024, 12, 31, 23, 59, 59, -300), settings, r,
                     {failed, event(RegulationEventKind::HandedBack, ControlMode::Quiet,
                                    HandBackReason::OverTemperature, 96.4)}),
              "2024-12-31T23:59:59-05:00,Maximal (Turbo),,58.9,,2416,2416,,,"
              "\"Modus Leise fehlgeschlagen: Profil \"\"x\"\", nicht; An System-Automatik "
              "übergeben (Leise): Übertemperatur 96 °C\"\n");
}

TEST(CsvLogFormatTest, FileNamesDatesAndText) {
    EXPECT_EQ(logFileName(at(2024, 5, 1, 0, 0, 0)), L"ventrasol-2024-05-01.csv");
    const struct {
        const wchar_t* name;
        std::optional<std::int64_t> day;
    } names[] = {
        {L"ventrasol-1970-01-01.csv", 0},
        {L"VENTRASOL-2024-02-29.CSV", 19782},
        {L"ventrasol-2024-13-01.csv", std::nullopt},
        {L"ventrasol-2024-1-01.csv", std::nullopt},
        {L"ventrasol-2024-01-01.csv.bak", std::nullopt},
        {L"ventrasol-2024-0a-01.csv", std::nullopt},
    };
    for (const auto& n : names)
        EXPECT_EQ(logFileDay(n.name), n.day);
    EXPECT_EQ(daysSinceEpoch(1969, 12, 31), -1);
    EXPECT_EQ(isoTime(at(2024, 1, 2, 3, 4, 5, 0)), "2024-01-02T03:04:05+00:00");
    EXPECT_EQ(isoTime(at(2024, 1, 2, 3, 4, 5, -570)), "2024-01-02T03:04:05-09:30");
    EXPECT_EQ(utf8FromWide(L"Lüfter °C"), "L\xC3\xBC"
                                          "fter \xC2\xB0"
                                          "C");
    EXPECT_EQ(utf8FromWide(L"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8FromWide(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x"), "\xEF\xBF\xBDx");
}

TEST_F(MeasurementLogTest, RowsEveryFiveTicksOnDiskAfter15ThenEvery30AndEventsAtOnce) {
    for (int s = 1; s <= 14; ++s)
        tick(may1(s));
    written();
    EXPECT_FALSE(files.files.count(MAY1)) << "nothing written before the first flush";
    tick(may1(15));
    written();
    const std::string first = files.file(MAY1);
    EXPECT_EQ(first.rfind(csvHeader(), 0), 0u);
    EXPECT_EQ(lines(first), 1 + 3) << first; // rows at 1, 6 and 11 s
    EXPECT_NE(first.find("2024-05-01T12:00:06+02:00,System-Auto,42.0,38.0,25.0,2000,0,1800,0,\n"),
              std::string::npos)
        << first;

    app.regulation.events.push_back(event(RegulationEventKind::DriverFault));
    tick(may1(16)); // an event: a row at once
    for (int s = 17; s <= 44; ++s)
        tick(may1(s));
    written();
    EXPECT_EQ(lines(files.file(MAY1)), 4) << "the next flush comes 30 ticks later";
    tick(may1(45));
    written();
    const std::string second = files.file(MAY1);
    EXPECT_EQ(lines(second), 4 + 6); // 16 (the event), 21, ..., 41
    EXPECT_NE(second.find("12:00:16+02:00,System-Auto,42.0,38.0,25.0,2000,0,1800,0,Treiber-Fehler"),
              std::string::npos);
    EXPECT_EQ(files.appends, 2);
}

TEST_F(MeasurementLogTest, OldFilesGoAtTheStartAndANewDayBeginsANewFile) {
    const std::wstring kept[] = {FOLDER + L"\\ventrasol-2024-04-01.csv", FOLDER + L"\\notes.txt"};
    const std::wstring gone[] = {FOLDER + L"\\ventrasol-2024-03-31.csv",
                                 FOLDER + L"\\VENTRASOL-2023-12-01.CSV"};
    for (const auto& f : kept)
        files.addFile(f, "x\n");
    for (const auto& f : gone)
        files.addFile(f, "x\n");
    tick(at(2024, 5, 1, 23, 59, 58));
    written();
    for (const auto& f : kept)
        EXPECT_TRUE(files.files.count(f)) << "30 days old or not a log file";
    for (const auto& f : gone)
        EXPECT_FALSE(files.files.count(f)) << "more than 30 days old";

    tick(at(2024, 5, 1, 23, 59, 59));
    for (int s = 0; s <= 3; ++s)
        tick(at(2024, 5, 2, 0, 0, s));
    written();
    EXPECT_EQ(files.file(MAY1), csvHeader() + csvRow(at(2024, 5, 1, 23, 59, 58), app.settings,
                                                     app.regulation.readings, {}));
    closeLog(app.measurementLog, 10s);
    EXPECT_EQ(files.file(MAY2), csvHeader() + csvRow(at(2024, 5, 2, 0, 0, 3), app.settings,
                                                     app.regulation.readings, {}));
}

TEST_F(MeasurementLogTest, ALineCutByAPowerFailureIsEndedBeforeTheNextRow) {
    files.addFile(MAY1, csvHeader() + "2024-05-01T11:59:55+02:00,Lei");
    tick(may1(1));
    closeLog(app.measurementLog, 10s);
    const std::string row = csvRow(may1(1), app.settings, app.regulation.readings, {});
    EXPECT_EQ(files.file(MAY1), csvHeader() + "2024-05-01T11:59:55+02:00,Lei\n" + row);
    // An empty file (created, nothing written) gets its header.
    files.addFile(MAY2, "");
    tick(at(2024, 5, 2, 8, 0, 0));
    closeLog(app.measurementLog, 10s);
    EXPECT_EQ(files.file(MAY2).rfind(csvHeader(), 0), 0u);
}

TEST_F(MeasurementLogTest, AFailingWriterStopsTheLogWithOneNoticeAndNeverTouchesTheFans) {
    files.failAppend = true;
    app.settings.mode = ControlMode::Quiet;
    for (int s = 1; s <= 15; ++s)
        tick(may1(s));
    written();
    tick(may1(16));
    EXPECT_EQ(app.regulation.notice.text, text(TextId::NoticeLogStopped));
    EXPECT_TRUE(app.regulation.notice.isError);
    EXPECT_TRUE(app.measurementLog.stopped);
    app.regulation.notice = {L"Profil 'Leise' aktiviert (~15 % Lüfterleistung).", false};
    for (int s = 17; s <= 80; ++s)
        tick(may1(s));
    EXPECT_FALSE(app.regulation.notice.isError) << "one notice, not one per tick";
    EXPECT_EQ(files.appends, 1);
    EXPECT_EQ(app.settings.mode, ControlMode::Quiet);
    EXPECT_TRUE(backend->calls.empty()) << "the log never commands a fan";

    // Off and on again: the log tries afresh.
    files.failAppend = false;
    app.settings.automation.csvLog = false;
    tick(may1(81));
    app.settings.automation.csvLog = true;
    tick(may1(82));
    closeLog(app.measurementLog, 10s);
    EXPECT_EQ(lines(files.file(MAY1)), 2);

    // Without a folder to write to, the log does not even start.
    files.appData.clear();
    app.measurementLog = MeasurementLog{};
    app.regulation.notice = {};
    tick(may1(83));
    EXPECT_EQ(app.regulation.notice.text, text(TextId::NoticeLogStopped));
}

TEST_F(MeasurementLogTest, ASlowDiskNeverHoldsUpTheTick) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    files.beforeAppend = [released] { released.wait(); };
    const auto begin = std::chrono::steady_clock::now();
    for (int s = 1; s <= 75; ++s) // three flushes handed over while the disk hangs
        tick(may1(s));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
    EXPECT_FALSE(app.measurementLog.writer->waitIdle(20ms));
    release.set_value();
    written();
    EXPECT_EQ(lines(files.file(MAY1)), 1 + 15); // rows at 1, 6, ..., 71
}

TEST_F(MeasurementLogTest, TheExitWritesTheBufferedRows) {
    for (int s = 1; s <= 7; ++s)
        tick(may1(s));
    runExitSequence(app);
    EXPECT_EQ(lines(files.file(MAY1)), 1 + 2);
    EXPECT_EQ(host.quitCode, 0);
}
