#include "app/measurement_log.h"

#include "app/csv_log_format.h"
#include "base/texts.h"
#include "platform/file_system.h"
#include "platform/platform.h"

#include <utility>

namespace {

void stopWithNotice(MeasurementLog& log, Notice& notice) {
    log.running = false;
    log.stopped = true;
    log.rows.clear();
    notice = {text(TextId::NoticeLogStopped), true};
}

bool start(MeasurementLog& log, const LocalTime& now) {
    log.folder = logFolder();
    if (log.folder.empty())
        return false;
    if (!log.writer || log.writer->failed())
        log.writer = std::make_unique<LogWriter>(platform.fileSystem, log.threadStart);
    log.running = true;
    log.file.clear();
    log.rows.clear();
    log.ticksToRow = 0;
    log.ticksToFlush = LOG_FIRST_FLUSH_TICKS;
    LogBatch cleanup;
    cleanup.folder = log.folder;
    cleanup.deleteBeforeDay = daysSinceEpoch(now.year, now.month, now.day) - LOG_KEEP_DAYS;
    log.writer->submit(std::move(cleanup));
    return true;
}

} // namespace

std::wstring logFolder() {
    if (platform.fileSystem == nullptr)
        return {};
    const std::wstring appData = platform.fileSystem->localAppDataFolder();
    return appData.empty() ? std::wstring() : appData + LOG_FOLDER_BELOW_APPDATA;
}

void logTick(MeasurementLog& log, const Settings& settings, RegulationState& regulation,
             const LocalTime& now) {
    if (!settings.automation.csvLog) {
        if (log.running)
            flushLog(log);
        log.running = false;
        log.stopped = false;
        return;
    }
    if (log.stopped)
        return;
    if (!log.running && !start(log, now)) {
        stopWithNotice(log, regulation.notice);
        return;
    }
    if (log.writer->failed()) {
        stopWithNotice(log, regulation.notice);
        return;
    }
    // A new day begins a new file; the rows of the day before go to its own.
    const std::wstring file = log.folder + L"\\" + logFileName(now);
    if (file != log.file) {
        flushLog(log);
        log.file = file;
    }
    if (--log.ticksToRow <= 0 || !regulation.events.empty()) {
        log.rows += csvRow(now, settings, regulation.readings, regulation.events);
        log.ticksToRow = LOG_ROW_TICKS;
    }
    if (--log.ticksToFlush <= 0) {
        flushLog(log);
        log.ticksToFlush = LOG_FLUSH_TICKS;
    }
}

void flushLog(MeasurementLog& log) {
    if (!log.writer || log.rows.empty() || log.file.empty())
        return;
    LogBatch batch;
    batch.folder = log.folder;
    batch.header = csvHeader();
    batch.chunks.push_back({log.file, std::move(log.rows)});
    log.rows.clear();
    log.writer->submit(std::move(batch));
}

void closeLog(MeasurementLog& log, std::chrono::milliseconds limit) {
    if (!log.running)
        return;
    flushLog(log);
    log.running = false;
    if (log.writer)
        log.writer->waitIdle(limit);
}
