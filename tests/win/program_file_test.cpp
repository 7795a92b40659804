// The built ventrasol.exe as a file: the resources Windows reads from it, and that it needs no
// DLL beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The test binary lives in build/windows/tests, the program in build/windows/src.
std::wstring programPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\'));
    return path + L"\\src\\ventrasol.exe";
}

class ProgramFileTest : public ::testing::Test {
protected:
    HMODULE image = nullptr;
    void SetUp() override {
        image = LoadLibraryExW(programPath().c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(image, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (image != nullptr)
            FreeLibrary(image);
    }
    std::string resourceText(LPCWSTR type, LPCWSTR name) const {
        HRSRC found = FindResourceW(image, name, type);
        if (found == nullptr)
            return {};
        HGLOBAL loaded = LoadResource(image, found);
        const auto* data = static_cast<const char*>(LockResource(loaded));
        return data ? std::string(data, SizeofResource(image, found)) : std::string{};
    }
};

std::wstring versionString(const std::vector<BYTE>& block, const wchar_t* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &size) ||
        size < sizeof(Translation))
        return {};
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language,
             translations[0].codePage, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &size))
        return {};
    return value;
}

} // namespace

TEST_F(ProgramFileTest, CarriesTheIconGroupAndTheManifest) {
    EXPECT_NE(FindResourceW(image, MAKEINTRESOURCEW(101), RT_GROUP_ICON), nullptr);
    const std::string manifest = resourceText(RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(manifest.empty());
    for (const char* expected :
         {"level=\"requireAdministrator\"", "uiAccess=\"false\"", ">true/pm<", ">PerMonitorV2<",
          "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\""})
        EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
}

TEST_F(ProgramFileTest, ShowsVersionTwoOfVentrasolInItsProperties) {
    const std::wstring path = programPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 2));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 2));
    EXPECT_EQ(versionString(block, L"ProductName"), L"Ventrasol");
    EXPECT_EQ(versionString(block, L"ProductVersion"), L"2.0.0");
    EXPECT_EQ(versionString(block, L"FileVersion"), L"2.0.0");
}

// One file: everything it imports comes with Windows; no runtime DLL of the compiler.
TEST_F(ProgramFileTest, ImportsOnlyWindowsOwnLibraries) {
    std::ifstream file(std::filesystem::path(programPath()), std::ios::binary);
    ASSERT_TRUE(file.good());
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), sizeof(IMAGE_DOS_HEADER));
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, bytes.data(), sizeof dos);
    IMAGE_NT_HEADERS64 nt;
    ASSERT_LT(static_cast<std::size_t>(dos.e_lfanew) + sizeof nt, bytes.size());
    std::memcpy(&nt, bytes.data() + dos.e_lfanew, sizeof nt);
    ASSERT_EQ(nt.Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
    ASSERT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        bytes.data() + dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
        nt.FileHeader.SizeOfOptionalHeader);
    auto offsetOf = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    };
    const DWORD importRva =
        nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    std::size_t at = offsetOf(importRva);
    ASSERT_NE(at, 0u);
    const std::vector<std::string> windowsOwn = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",    "shell32.dll",  "advapi32.dll",
        "ole32.dll",    "oleaut32.dll", "msvcrt.dll",   "version.dll",  "comctl32.dll",
        "uxtheme.dll",  "shlwapi.dll",  "wbemuuid.dll", "setupapi.dll", "ntdll.dll"};
    int libraries = 0;
    for (;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        ASSERT_LE(at + sizeof(IMAGE_IMPORT_DESCRIPTOR), bytes.size());
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        std::memcpy(&descriptor, bytes.data() + at, sizeof descriptor);
        if (descriptor.Name == 0)
            break;
        const std::size_t nameAt = offsetOf(descriptor.Name);
        ASSERT_NE(nameAt, 0u);
        std::string name(bytes.data() + nameAt);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_NE(std::find(windowsOwn.begin(), windowsOwn.end(), name), windowsOwn.end())
            << "imports " << name;
        ++libraries;
    }
    EXPECT_GE(libraries, 3);
}
