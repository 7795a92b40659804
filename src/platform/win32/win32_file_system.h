#pragma once

#include "platform/file_system.h"

class Win32FileSystem final : public FileSystem {
public:
    std::wstring localAppDataFolder() override;
    bool createFolder(const std::wstring& path) override;
    bool fileEnd(const std::wstring& path, std::uint64_t* size, char* lastByte) override;
    bool append(const std::wstring& path, const std::string& bytes) override;
    std::vector<std::wstring> listFiles(const std::wstring& folder) override;
    bool deleteFile(const std::wstring& path) override;
    bool openFolder(const std::wstring& path) override;
};
