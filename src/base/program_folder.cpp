#include "base/program_folder.h"

#include "base/bounded_format.h"

#include <cstddef>
#include <cwchar>
#include <cwctype>

namespace {

constexpr std::size_t PATH_UNITS = 260; // MAX_PATH, terminator included

bool sameLetters(const std::wstring& a, const std::wstring& b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

} // namespace

std::wstring programFolder(const std::wstring& modulePath) {
    if (modulePath.empty() || modulePath.size() >= PATH_UNITS)
        return {};
    wchar_t folder[PATH_UNITS] = {};
    copyBounded(folder, PATH_UNITS, modulePath.c_str());
    wchar_t* cut = std::wcsrchr(folder, L'\\');
    if (!cut)
        return {};
    *cut = L'\0';
    return folder;
}

bool insideProgramFiles(const std::wstring& folder, const std::wstring& programFiles) {
    if (folder.empty() || programFiles.empty() || folder.size() <= programFiles.size() + 1)
        return false;
    // A ".." could lead back out of the folder whose name matched.
    if (folder.find(L"\\..") != std::wstring::npos || folder.find(L'/') != std::wstring::npos)
        return false;
    return folder[programFiles.size()] == L'\\' &&
           sameLetters(folder, programFiles, programFiles.size());
}
