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

namespace {

// The libraries a PE file imports, in lower case, and its subsystem; empty when it cannot be
// read.
std::vector<std::string> importedLibraries(const std::wstring& path, WORD* subsystem) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS64 nt;
    if (bytes.size() < sizeof dos)
        return {};
    std::memcpy(&dos, bytes.data(), sizeof dos);
    if (static_cast<std::size_t>(dos.e_lfanew) + sizeof nt >= bytes.size())
        return {};
    std::memcpy(&nt, bytes.data() + dos.e_lfanew, sizeof nt);
    if (nt.Signature != IMAGE_NT_SIGNATURE)
        return {};
    *subsystem = nt.OptionalHeader.Subsystem;

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
    std::vector<std::string> names;
    std::size_t at =
        offsetOf(nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; at != 0 && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size();
         at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        std::memcpy(&descriptor, bytes.data() + at, sizeof descriptor);
        const std::size_t nameAt = descriptor.Name ? offsetOf(descriptor.Name) : 0;
        if (nameAt == 0)
            break;
        std::string name(bytes.data() + nameAt);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        names.push_back(name);
    }
    return names;
}

} // namespace

// One file: everything it imports comes with Windows; no runtime DLL of the compiler.
TEST_F(ProgramFileTest, ImportsOnlyWindowsOwnLibraries) {
    WORD subsystem = 0;
    const std::vector<std::string> imports = importedLibraries(programPath(), &subsystem);
    EXPECT_EQ(subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    const std::vector<std::string> windowsOwn = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",    "shell32.dll",  "advapi32.dll",
        "ole32.dll",    "oleaut32.dll", "msvcrt.dll",   "version.dll",  "comctl32.dll",
        "uxtheme.dll",  "shlwapi.dll",  "wbemuuid.dll", "setupapi.dll", "ntdll.dll"};
    for (const std::string& name : imports)
        EXPECT_NE(std::find(windowsOwn.begin(), windowsOwn.end(), name), windowsOwn.end())
            << "imports " << name;
    EXPECT_GE(imports.size(), 3u);
}

// The driver and its test build: kernel-mode images that need nothing but the kernel and the
// HAL.
TEST(DriverFile, ImportsOnlyTheKernelAndTheHal) {
    std::wstring build = programPath();
    build.resize(build.find_last_of(L'\\'));
    build.resize(build.find_last_of(L'\\'));
    for (const std::wstring& path :
         {build + L"\\driver\\applesmc.sys", build + L"\\tests\\doubles\\applesmc.sys"}) {
        const std::string label(path.begin(), path.end());
        WORD subsystem = 0;
        const std::vector<std::string> imports = importedLibraries(path, &subsystem);
        EXPECT_EQ(subsystem, IMAGE_SUBSYSTEM_NATIVE) << label;
        ASSERT_FALSE(imports.empty()) << label;
        for (const std::string& name : imports)
            EXPECT_TRUE(name == "ntoskrnl.exe" || name == "hal.dll")
                << label << " imports " << name;
    }
}
