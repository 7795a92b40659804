#include "app/log_writer.h"

#include "app/csv_log_format.h"

#include <utility>

LogWriter::LogWriter(FileSystem* files, void (*threadStart)()) : files_(files) {
    if (files_ == nullptr)
        failed_ = true;
    thread_ = std::thread([this, threadStart] {
        if (threadStart != nullptr)
            threadStart();
        loop();
    });
}

LogWriter::~LogWriter() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void LogWriter::submit(LogBatch batch) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        queue_.push_back(std::move(batch));
    }
    changed_.notify_all();
}

bool LogWriter::waitIdle(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, limit, [this] { return queue_.empty() && !busy_; });
}

void LogWriter::loop() {
    std::unique_lock<std::mutex> guard(lock_);
    for (;;) {
        changed_.wait(guard, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty())
            return; // stopping, and all written
        LogBatch batch = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        guard.unlock();
        if (!failed_ && !write(batch))
            failed_ = true;
        guard.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

bool LogWriter::write(const LogBatch& batch) {
    if (!files_->createFolder(batch.folder))
        return false;
    if (batch.deleteBeforeDay >= 0) {
        // Only the log's own files, by the date in their names; a file that will not go is
        // tried again at the next start.
        for (const std::wstring& name : files_->listFiles(batch.folder)) {
            const std::optional<std::int64_t> day = logFileDay(name);
            if (day && *day < batch.deleteBeforeDay)
                files_->deleteFile(batch.folder + L"\\" + name);
        }
    }
    for (const LogChunk& chunk : batch.chunks) {
        std::uint64_t size = 0;
        char last = '\n';
        std::string bytes;
        if (!files_->fileEnd(chunk.path, &size, &last) || size == 0)
            bytes = batch.header;
        else if (last != '\n')
            bytes.push_back('\n'); // a line cut off by a power failure ends before the next row
        bytes += chunk.rows;
        if (!files_->append(chunk.path, bytes))
            return false;
    }
    return true;
}
