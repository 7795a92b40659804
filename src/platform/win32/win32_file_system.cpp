#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <knownfolders.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid())
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

std::wstring Win32FileSystem::localAppDataFolder() {
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)) &&
        path != nullptr)
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

bool Win32FileSystem::createFolder(const std::wstring& path) {
    // Parent by parent; a part that exists already is fine, as long as it is a folder.
    for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
         at = path.find(L'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
    return isFolder(path);
}

bool Win32FileSystem::fileEnd(const std::wstring& path, std::uint64_t* size, char* lastByte) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &length) || length.QuadPart < 0)
        return false;
    *size = static_cast<std::uint64_t>(length.QuadPart);
    if (length.QuadPart == 0)
        return true;
    LARGE_INTEGER last{};
    last.QuadPart = length.QuadPart - 1;
    DWORD read = 0;
    return SetFilePointerEx(file.get(), last, nullptr, FILE_BEGIN) &&
           ReadFile(file.get(), lastByte, 1, &read, nullptr) && read == 1;
}

bool Win32FileSystem::append(const std::wstring& path, const std::string& bytes) {
    // GENERIC_WRITE rather than append access alone: FlushFileBuffers needs it. The log has one
    // writer, so moving to the end first is as good as appending.
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER none{};
    if (!file.valid() || !SetFilePointerEx(file.get(), none, nullptr, FILE_END))
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file.get()) != FALSE;
}

std::vector<std::wstring> Win32FileSystem::listFiles(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool Win32FileSystem::deleteFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != FALSE;
}

bool Win32FileSystem::openFolder(const std::wstring& path) {
    if (!isFolder(path))
        return false;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}
