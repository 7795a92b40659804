#pragma once

#include "platform/file_system.h"

#include <functional>
#include <map>
#include <mutex>
#include <set>

// Folders and files in memory, safe to use from the log writer's thread. Paths compare
// exactly; a file's folder is the part before its last backslash.
class FakeFileSystem final : public FileSystem {
public:
    std::wstring appData = L"C:\\Users\\test\\AppData\\Local";
    // Every append fails (a full disk, a folder that went away).
    bool failAppend = false;
    // Called on the caller's thread before every append, outside the lock: a slow disk.
    std::function<void()> beforeAppend;

    void addFile(const std::wstring& path, const std::string& bytes);
    // A file's bytes; empty when there is none.
    std::string file(const std::wstring& path) const;
    bool hasFile(const std::wstring& path) const;
    int appendCount() const;
    std::vector<std::wstring> openedFolders() const;

    std::wstring localAppDataFolder() override;
    bool createFolder(const std::wstring& path) override;
    bool fileEnd(const std::wstring& path, std::uint64_t* size, char* lastByte) override;
    bool append(const std::wstring& path, const std::string& bytes) override;
    std::vector<std::wstring> listFiles(const std::wstring& folder) override;
    bool deleteFile(const std::wstring& path) override;
    bool openFolder(const std::wstring& path) override;

private:
    static std::wstring folderOf(const std::wstring& path);

    mutable std::mutex lock_;
    std::set<std::wstring> folders_;
    std::map<std::wstring, std::string> files_;
    std::vector<std::wstring> opened_;
    int appends_ = 0;
};
