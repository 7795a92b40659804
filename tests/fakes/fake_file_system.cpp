#include "fakes/fake_file_system.h"

std::wstring FakeFileSystem::folderOf(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void FakeFileSystem::addFile(const std::wstring& path, const std::string& bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    for (std::wstring f = folderOf(path); !f.empty(); f = folderOf(f))
        folders_.insert(f);
    files_[path] = bytes;
}

std::string FakeFileSystem::file(const std::wstring& path) const {
    std::lock_guard<std::mutex> guard(lock_);
    const auto it = files_.find(path);
    return it == files_.end() ? std::string() : it->second;
}

bool FakeFileSystem::hasFile(const std::wstring& path) const {
    std::lock_guard<std::mutex> guard(lock_);
    return files_.count(path) != 0;
}

int FakeFileSystem::appendCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return appends_;
}

std::vector<std::wstring> FakeFileSystem::openedFolders() const {
    std::lock_guard<std::mutex> guard(lock_);
    return opened_;
}

std::wstring FakeFileSystem::localAppDataFolder() {
    return appData;
}

bool FakeFileSystem::createFolder(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    // A file in the way of the folder or of one of its parents.
    for (std::wstring f = path; !f.empty(); f = folderOf(f))
        if (files_.count(f) != 0)
            return false;
    for (std::wstring f = path; !f.empty(); f = folderOf(f))
        folders_.insert(f);
    return true;
}

bool FakeFileSystem::fileEnd(const std::wstring& path, std::uint64_t* size, char* lastByte) {
    std::lock_guard<std::mutex> guard(lock_);
    const auto it = files_.find(path);
    if (it == files_.end())
        return false;
    *size = it->second.size();
    if (!it->second.empty())
        *lastByte = it->second.back();
    return true;
}

bool FakeFileSystem::append(const std::wstring& path, const std::string& bytes) {
    if (beforeAppend)
        beforeAppend();
    std::lock_guard<std::mutex> guard(lock_);
    ++appends_;
    if (failAppend || folders_.count(folderOf(path)) == 0 || folders_.count(path) != 0)
        return false;
    files_[path] += bytes;
    return true;
}

std::vector<std::wstring> FakeFileSystem::listFiles(const std::wstring& folder) {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::wstring> names;
    for (const auto& [path, bytes] : files_)
        if (folderOf(path) == folder)
            names.push_back(path.substr(folder.size() + 1));
    return names;
}

bool FakeFileSystem::deleteFile(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    return files_.erase(path) != 0;
}

bool FakeFileSystem::openFolder(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    if (folders_.count(path) == 0)
        return false;
    opened_.push_back(path);
    return true;
}
