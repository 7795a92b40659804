#pragma once

#include "fakes/fake_library_loader.h"

#include <cstdint>
#include <string>
#include <vector>

// NVIDIA's library in memory: what each call answers, and what it was asked. One instance at a
// time is current (the functions handed out are plain functions, as from a DLL).
struct FakeNvapi {
    // Behaviour.
    bool hasInitialize = true, hasEnumerate = true, hasThermal = true, hasTach = true;
    std::int32_t initializeStatus = 0;
    std::int32_t enumerateStatus = 0;
    std::uint32_t gpus = 1;
    std::int32_t thermalStatus = 0;
    std::uint32_t sensors = 1;
    std::int32_t temperature = 57;
    std::int32_t tachStatus = 0;
    std::uint32_t rpm = 1450;

    // Record.
    std::vector<std::uint32_t> idsAsked;
    std::vector<std::string> calls; // "initialize", "enumerate", "thermal", "tach"
    std::uint32_t lastVersion = 0;
    std::uint32_t lastSensorIndex = 99;
    void* lastGpu = nullptr;

    FakeNvapi();
    ~FakeNvapi();
    FakeNvapi(const FakeNvapi&) = delete;
    FakeNvapi& operator=(const FakeNvapi&) = delete;

    // Offers "nvapi64.dll" with its one export through loader.
    void installInto(FakeLibraryLoader* loader);

    static void* const FIRST_GPU; // the handle it reports for GPU 0
};
