#include "app/mode_handover.h"

#include "app/command_line.h"
#include "app/power_source_follow.h"

#include <cstring>

namespace {

constexpr std::uint32_t MAGIC = 0x444D5356; // "VSMD" as little-endian bytes
constexpr std::uint32_t VERSION = 1;

void put32(std::uint8_t* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i, value >>= 8)
        out[i] = static_cast<std::uint8_t>(value & 0xFFu);
}

std::uint32_t get32(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
           (static_cast<std::uint32_t>(in[2]) << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
}

} // namespace

std::array<std::uint8_t, MODE_HANDOVER_SIZE> encodeModeHandover(ControlMode mode) {
    std::array<std::uint8_t, MODE_HANDOVER_SIZE> bytes{};
    put32(bytes.data(), MAGIC);
    put32(bytes.data() + 4, VERSION);
    put32(bytes.data() + 8, static_cast<std::uint32_t>(mode));
    return bytes;
}

std::optional<ControlMode> decodeModeHandover(std::uintptr_t tag, const void* data,
                                              std::size_t size) {
    if (tag != MODE_HANDOVER_TAG || data == nullptr || size != MODE_HANDOVER_SIZE)
        return std::nullopt;
    std::uint8_t bytes[MODE_HANDOVER_SIZE];
    std::memcpy(bytes, data, MODE_HANDOVER_SIZE);
    const std::uint32_t mode = get32(bytes + 8);
    if (get32(bytes) != MAGIC || get32(bytes + 4) != VERSION ||
        mode > static_cast<std::uint32_t>(ControlMode::Manual))
        return std::nullopt;
    return static_cast<ControlMode>(mode);
}

HandoverReply receiveModeHandover(AppState& app, std::uintptr_t tag, const void* data,
                                  std::size_t size) {
    const std::optional<ControlMode> mode = decodeModeHandover(tag, data, size);
    if (!mode)
        return HandoverReply::Ignored;
    // Before the backend and the leftover fans were dealt with, a mode cannot be judged.
    if (!app.startupFinished)
        return HandoverReply::Starting;
    return chooseMode(app, *mode) ? HandoverReply::Applied : HandoverReply::Failed;
}

int exitCodeForReply(HandoverReply reply) {
    return reply == HandoverReply::Applied ? EXIT_DONE : EXIT_MODE_FAILED;
}
