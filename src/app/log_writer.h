#pragma once

#include "platform/file_system.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Rows for one file of the log.
struct LogChunk {
    std::wstring path;
    std::string rows;
};

// One hand-over to the writer: what to write, and at the start of a log the files to delete.
struct LogBatch {
    std::wstring folder;
    std::string header; // written first into a file that is new or empty
    std::vector<LogChunk> chunks;
    // Log files dated before this day (since 1970-01-01) are deleted; none when negative.
    std::int64_t deleteBeforeDay = -1;
};

// Writes the log's batches on a thread of its own, so that a slow or hanging disk never holds
// up the window. The first failure stops it for good: later batches are dropped.
class LogWriter {
public:
    // threadStart runs first on the new thread (the crash guard's reserve).
    LogWriter(FileSystem* files, void (*threadStart)() = nullptr);
    // Writes what was handed over, then ends the thread.
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void submit(LogBatch batch);
    // Waits at most limit until everything handed over is written (or dropped); true then.
    bool waitIdle(std::chrono::milliseconds limit);
    bool failed() const { return failed_.load(); }

private:
    void loop();
    bool write(const LogBatch& batch);

    FileSystem* files_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<LogBatch> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::atomic<bool> failed_{false};
    std::thread thread_;
};
