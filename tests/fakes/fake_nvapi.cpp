#include "fakes/fake_nvapi.h"

#include <cstring>

namespace {

FakeNvapi* current = nullptr;
char gpuTokens[64];

std::uint32_t get32(const std::uint8_t* at) {
    std::uint32_t v;
    std::memcpy(&v, at, 4); // tests run little-endian, as the library's callers do
    return v;
}
void put32(std::uint8_t* at, std::uint32_t v) {
    std::memcpy(at, &v, 4);
}

std::int32_t initialize() {
    current->calls.push_back("initialize");
    return current->initializeStatus;
}

std::int32_t enumerate(void** handles, std::uint32_t* count) {
    current->calls.push_back("enumerate");
    if (current->enumerateStatus != 0)
        return current->enumerateStatus;
    for (std::uint32_t i = 0; i < current->gpus && i < 64; ++i)
        handles[i] = &gpuTokens[i];
    *count = current->gpus;
    return 0;
}

std::int32_t thermal(void* gpu, std::uint32_t sensorIndex, void* settings) {
    current->calls.push_back("thermal");
    auto* s = static_cast<std::uint8_t*>(settings);
    current->lastVersion = get32(s);
    current->lastSensorIndex = sensorIndex;
    current->lastGpu = gpu;
    if (current->lastVersion != 0x10044)
        return -9;
    if (current->thermalStatus != 0)
        return current->thermalStatus;
    put32(s + 4, current->sensors);
    put32(s + 8, 1);
    put32(s + 16, 127);
    put32(s + 20, static_cast<std::uint32_t>(current->temperature));
    put32(s + 24, 1);
    // A second sensor that must not be mistaken for the first.
    put32(s + 40, 99);
    return 0;
}

std::int32_t tach(void* gpu, std::uint32_t* rpm) {
    current->calls.push_back("tach");
    current->lastGpu = gpu;
    if (current->tachStatus != 0)
        return current->tachStatus;
    *rpm = current->rpm;
    return 0;
}

void* queryInterface(std::uint32_t id) {
    current->idsAsked.push_back(id);
    switch (id) {
    case 0x0150E828u:
        return current->hasInitialize ? reinterpret_cast<void*>(&initialize) : nullptr;
    case 0xE5AC921Fu:
        return current->hasEnumerate ? reinterpret_cast<void*>(&enumerate) : nullptr;
    case 0xE3640A56u:
        return current->hasThermal ? reinterpret_cast<void*>(&thermal) : nullptr;
    case 0x5F608315u:
        return current->hasTach ? reinterpret_cast<void*>(&tach) : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

void* const FakeNvapi::FIRST_GPU = &gpuTokens[0];

FakeNvapi::FakeNvapi() {
    current = this;
}

FakeNvapi::~FakeNvapi() {
    if (current == this)
        current = nullptr;
}

void FakeNvapi::installInto(FakeLibraryLoader* loader) {
    loader->available[L"nvapi64.dll"]["nvapi_QueryInterface"] =
        reinterpret_cast<LibrarySymbol>(&queryInterface);
}
