#include "fakes/fake_file_system.h"

namespace {

std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

} // namespace

void FakeFileSystem::addFile(const std::wstring& path, const std::string& bytes) {
    createFolder(folderOf(path));
    std::lock_guard<std::mutex> guard(lock_);
    files[path] = bytes;
}

std::string FakeFileSystem::file(const std::wstring& path) const {
    std::lock_guard<std::mutex> guard(lock_);
    const auto it = files.find(path);
    return it == files.end() ? std::string() : it->second;
}

bool FakeFileSystem::createFolder(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    for (std::wstring f = path; !f.empty(); f = folderOf(f))
        if (files.count(f) != 0)
            return false; // a file in the way
    for (std::wstring f = path; !f.empty(); f = folderOf(f))
        folders.insert(f);
    return true;
}

bool FakeFileSystem::fileEnd(const std::wstring& path, std::uint64_t* size, char* lastByte) {
    std::lock_guard<std::mutex> guard(lock_);
    const auto it = files.find(path);
    if (it == files.end())
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
    ++appends;
    if (failAppend || folders.count(folderOf(path)) == 0 || folders.count(path) != 0)
        return false;
    files[path] += bytes;
    return true;
}

std::vector<std::wstring> FakeFileSystem::listFiles(const std::wstring& folder) {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::wstring> names;
    for (const auto& [path, bytes] : files)
        if (folderOf(path) == folder)
            names.push_back(path.substr(folder.size() + 1));
    return names;
}

bool FakeFileSystem::deleteFile(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    return files.erase(path) != 0;
}

bool FakeFileSystem::openFolder(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    if (folders.count(path) == 0)
        return false;
    opened.push_back(path);
    return true;
}
