#pragma once

#include "platform/system_info.h"

#include <map>

// A machine described by plain fields; the defaults resemble a small desktop with drive C.
class FakeSystemInfo final : public SystemInfo {
public:
    struct Drive {
        DriveKind kind = DriveKind::Fixed;
        bool spaceReadable = true;
        DiskSpace space{256ull << 30, 100ull << 30};
        bool volumeReadable = true;
        std::wstring label = L"Windows";
        std::wstring fileSystem = L"NTFS";
    };

    std::uint8_t battery = BATTERY_FLAG_NO_BATTERY;
    std::uint8_t acLine = 1;
    std::wstring path = L"C:\\Program Files\\Ventrasol\\ventrasol.exe";
    std::string brand = padBrand("Fake CPU @ 3.00GHz");
    std::uint32_t processors = 8;
    MemoryStatus memory{16ull << 30, 8ull << 30, 50};
    std::vector<std::wstring> displays = {L"Fake Display Adapter"};
    int width = 1920;
    int height = 1080;
    std::map<char, Drive> drives = {{'C', Drive{}}};

    // A brand string as the processor hands it out: 48 bytes, zero padded.
    static std::string padBrand(const std::string& text) {
        std::string bytes = text.substr(0, 48);
        bytes.resize(48, '\0');
        return bytes;
    }

    std::uint8_t batteryFlag() const override { return battery; }
    PowerStatus powerStatus() const override { return {acLine, battery}; }
    std::wstring modulePath() const override { return path; }
    std::string processorBrandBytes() const override { return brand; }
    std::uint32_t logicalProcessorCount() const override { return processors; }
    MemoryStatus memoryStatus() const override { return memory; }
    std::vector<std::wstring> displayDeviceStrings() const override { return displays; }
    int screenWidth() const override { return width; }
    int screenHeight() const override { return height; }
    std::uint32_t logicalDriveMask() const override {
        std::uint32_t mask = 0;
        for (const auto& [letter, drive] : drives)
            if (letter >= 'A' && letter <= 'Z')
                mask |= 1u << (letter - 'A');
        return mask;
    }
    DriveKind driveKind(char letter) const override {
        const auto it = drives.find(letter);
        return it == drives.end() ? DriveKind::NoRootDir : it->second.kind;
    }
    bool diskSpace(char letter, DiskSpace* space) const override {
        const auto it = drives.find(letter);
        if (it == drives.end() || !it->second.spaceReadable || space == nullptr)
            return false;
        *space = it->second.space;
        return true;
    }
    bool volumeInformation(char letter, std::wstring* label,
                           std::wstring* fileSystem) const override {
        const auto it = drives.find(letter);
        if (it == drives.end() || !it->second.volumeReadable || label == nullptr ||
            fileSystem == nullptr)
            return false;
        *label = it->second.label;
        *fileSystem = it->second.fileSystem;
        return true;
    }
};
