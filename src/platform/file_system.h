#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The files of the measurement log, and the shell that shows their folder. Paths are Windows
// paths with backslashes. Every operation may be called from a thread of its own.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The user's local application-data folder (%LOCALAPPDATA%); empty when it is unknown.
    virtual std::wstring localAppDataFolder() = 0;
    // Creates the folder and every missing parent; true when it exists afterwards.
    virtual bool createFolder(const std::wstring& path) = 0;
    // The file's size and, when it is not empty, its last byte; false when there is no file.
    virtual bool fileEnd(const std::wstring& path, std::uint64_t* size, char* lastByte) = 0;
    // Appends bytes at the end of the file, creating it when missing, and flushes them to the
    // disk before it returns; false when any of it fails.
    virtual bool append(const std::wstring& path, const std::string& bytes) = 0;
    // The names (not paths) of the files directly in the folder; empty when it cannot be read.
    virtual std::vector<std::wstring> listFiles(const std::wstring& folder) = 0;
    virtual bool deleteFile(const std::wstring& path) = 0;
    // Opens the folder in the shell's file window; false when it cannot be shown.
    virtual bool openFolder(const std::wstring& path) = 0;
};
