#pragma once

#include "doubles/smc_sim_protocol.h"

#include <cstdint>
#include <string>

// The SMC simulator driver as the Windows tests use it: brought up once per Wine session
// through the program's own installer, then reset and steered through its test-only requests.
class SmcSimulator {
public:
    // The installer takes the driver only from a program folder inside Program Files: copies
    // the applesmc.sys beside the test binary into one there and returns the path a program in
    // that folder would have; empty when the copy fails.
    static std::wstring stageInProgramFiles();
    // Installs and starts the service when needed and opens the device; false when the driver
    // cannot be reached.
    static bool ensureRunning();

    SmcSimulator();
    ~SmcSimulator();
    SmcSimulator(const SmcSimulator&) = delete;
    SmcSimulator& operator=(const SmcSimulator&) = delete;

    bool isOpen() const;
    bool reset();
    bool setKey(const char* key, std::uint8_t size, const std::uint8_t* data, bool writable);
    bool setFloat(const char* key, float value, bool writable = false);
    bool removeKey(const char* key);
    bool getKey(const char* key, SmcSimKey* out);
    // SMC_SIM_MACHINE_*: which interfaces of the emulated SMC answer; the driver chooses again.
    bool setMode(std::uint8_t mode);
    // The SMC stops answering / the device's name is gone / each step takes slowMs.
    bool setFaults(bool silent, bool gone, std::uint8_t slowMs = 0);
    // SMC_SIM_TABLE_T2 or SMC_SIM_TABLE_OLDER; a reset goes back to T2.
    bool setTable(std::uint8_t table);
    bool log(SmcSimLog* out);

private:
    bool send(std::uint32_t code, const void* input, std::uint32_t inputSize, void* output,
              std::uint32_t outputSize);
    void* handle;
};
