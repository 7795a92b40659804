#pragma once

#include "platform/file_system.h"

#include <functional>
#include <map>
#include <mutex>
#include <set>

// Folders and files in memory, safe to use from the log writer's thread. Paths compare
// exactly; a file's folder is the part before its last backslash. Tests read and change the
// public fields while no writer runs.
class FakeFileSystem final : public FileSystem {
public:
    std::wstring appData = L"C:\\Users\\test\\AppData\\Local";
    std::set<std::wstring> folders;
    std::map<std::wstring, std::string> files;
    std::vector<std::wstring> opened; // every folder shown
    int appends = 0;
    bool failAppend = false; // every append fails (a full disk)
    // Called on the caller's thread before every append, outside the lock: a slow disk.
    std::function<void()> beforeAppend;

    void addFile(const std::wstring& path, const std::string& bytes);
    // A file's bytes, read under the lock; empty when there is none.
    std::string file(const std::wstring& path) const;

    std::wstring localAppDataFolder() override { return appData; }
    bool createFolder(const std::wstring& path) override;
    bool fileEnd(const std::wstring& path, std::uint64_t* size, char* lastByte) override;
    bool append(const std::wstring& path, const std::string& bytes) override;
    std::vector<std::wstring> listFiles(const std::wstring& folder) override;
    bool deleteFile(const std::wstring& path) override;
    bool openFolder(const std::wstring& path) override;

private:
    mutable std::mutex lock_;
};
