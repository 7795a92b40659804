#pragma once

#include "app/app_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// A second start with "--mode" hands the mode to the running program in one WM_COPYDATA
// message: the tag below as dwData and twelve bytes, the magic "VSMD", the format version 1 and
// the mode number, each 32 bits little-endian. Anything else is ignored. Only a process with
// administrator rights gets the message through: the window leaves the message filter closed.

inline constexpr std::uintptr_t MODE_HANDOVER_TAG = 0x56534D44; // "VSMD"
inline constexpr std::size_t MODE_HANDOVER_SIZE = 12;

// The running program's answer, the result of the message.
enum class HandoverReply : std::intptr_t {
    Ignored = 0,  // not a hand-over, or malformed (also what an unprepared window answers)
    Applied = 1,  // the mode took
    Failed = 2,   // the mode was refused or its commands did not reach the hardware
    Starting = 3, // the start-up is not through yet: ask again shortly
};

std::array<std::uint8_t, MODE_HANDOVER_SIZE> encodeModeHandover(ControlMode mode);

// The mode a message carries; nothing unless tag, size, magic, version and mode all check.
std::optional<ControlMode> decodeModeHandover(std::uintptr_t tag, const void* data,
                                              std::size_t size);

// WM_COPYDATA in the running program: a valid hand-over is applied exactly as a click on the
// mode's button (notice, saving, remembered for the power source), once the start-up is done.
HandoverReply receiveModeHandover(AppState& app, std::uintptr_t tag, const void* data,
                                  std::size_t size);

// The second process's exit code for an answer.
int exitCodeForReply(HandoverReply reply);
