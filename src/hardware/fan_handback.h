#pragma once

#include "hardware/smc_codec.h"
#include "platform/device_io.h"

#include <cstddef>
#include <cstdint>

// The requests that give every fan back to the firmware, prepared while the backend is
// connected so that a crash handler can send them: sending needs no heap, no lock and no
// formatting, only the device and the bytes kept here in static storage.
inline constexpr std::size_t FAN_HANDBACK_MAX_REQUESTS = 8;

struct FanHandBackRequest {
    std::uint32_t code = IOCTL_SMC_WRITE_KEY;
    SmcKeyRequest request;
};

// Replaces the prepared requests; a count above FAN_HANDBACK_MAX_REQUESTS keeps the first ones.
// The device must stay open until disarmFanHandBack.
void armFanHandBack(DeviceIo* io, DeviceHandle device, const FanHandBackRequest* requests,
                    std::size_t count);

// Forgets the device; called before it is closed.
void disarmFanHandBack();

// Sends every prepared request, on any thread, from any handler, as often as asked. True when
// something was prepared and every request reached the device.
bool emergencyFanHandBack();
