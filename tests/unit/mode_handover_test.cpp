#include "app/command_line.h"
#include "app/mode_handover.h"
#include "fakes/automation_fixture.h"

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(ControlMode mode) {
    const auto encoded = encodeModeHandover(mode);
    return Bytes(encoded.begin(), encoded.end());
}

using ModeHandoverTest = AutomationTest;

} // namespace

TEST(ModeHandoverFormatTest, TwelveFixedBytesAndNothingElseIsTaken) {
    EXPECT_EQ(bytesOf(ControlMode::Max), (Bytes{'V', 'S', 'M', 'D', 1, 0, 0, 0, 4, 0, 0, 0}));
    for (int m = 0; m < 6; ++m) {
        const Bytes b = bytesOf(static_cast<ControlMode>(m));
        EXPECT_EQ(decodeModeHandover(MODE_HANDOVER_TAG, b.data(), b.size()),
                  static_cast<ControlMode>(m));
    }
    const Bytes good = bytesOf(ControlMode::Quiet);
    const auto with = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const struct {
        const char* what;
        std::uintptr_t tag;
        Bytes bytes;
        std::size_t size;
    } malformed[] = {
        {"another tag", MODE_HANDOVER_TAG + 1, good, 12},
        {"no data", MODE_HANDOVER_TAG, {}, 0},
        {"short", MODE_HANDOVER_TAG, good, 11},
        {"long", MODE_HANDOVER_TAG,
         [&] {
             Bytes b = good;
             b.push_back(0);
             return b;
         }(),
         13},
        {"magic", MODE_HANDOVER_TAG, with(0, 'X'), 12},
        {"version", MODE_HANDOVER_TAG, with(4, 2), 12},
        {"mode 6", MODE_HANDOVER_TAG, with(8, 6), 12},
        {"mode -1", MODE_HANDOVER_TAG, Bytes{'V', 'S', 'M', 'D', 1, 0, 0, 0, 255, 255, 255, 255},
         12},
        {"mode in the high bytes", MODE_HANDOVER_TAG, with(11, 1), 12},
    };
    for (const auto& c : malformed)
        EXPECT_EQ(decodeModeHandover(c.tag, c.bytes.empty() ? nullptr : c.bytes.data(), c.size),
                  std::nullopt)
            << c.what;
}

TEST_F(ModeHandoverTest, AValidHandOverIsAppliedLikeAClickAndAnswered) {
    const Bytes quiet = bytesOf(ControlMode::Quiet);
    EXPECT_EQ(receiveModeHandover(app, MODE_HANDOVER_TAG, quiet.data(), quiet.size()),
              HandoverReply::Applied);
    EXPECT_EQ(app.settings.mode, ControlMode::Quiet);
    EXPECT_EQ(app.regulation.notice.text, L"Profil 'Leise' aktiviert (~15 % Lüfterleistung).");
    EXPECT_EQ(stored(L"ActiveProfile"), 2u);
    EXPECT_EQ(backend->rpmCalls.size(), 2u);
    EXPECT_EQ(app.settings.automation.mainsMode, ControlMode::Quiet) << "a choice on mains";
    EXPECT_EQ(exitCodeForReply(HandoverReply::Applied), EXIT_DONE);
}

TEST_F(ModeHandoverTest, MalformedContentsAndAHandOverDuringTheStartUpChangeNothing) {
    Bytes bad = bytesOf(ControlMode::Max);
    bad[8] = 9;
    EXPECT_EQ(receiveModeHandover(app, MODE_HANDOVER_TAG, bad.data(), bad.size()),
              HandoverReply::Ignored);
    EXPECT_EQ(receiveModeHandover(app, MODE_HANDOVER_TAG, nullptr, 12), HandoverReply::Ignored);
    EXPECT_EQ(exitCodeForReply(HandoverReply::Ignored), EXIT_MODE_FAILED);
    // Before the backend is up the sender is to ask again.
    app.startupFinished = false;
    const Bytes max = bytesOf(ControlMode::Max);
    EXPECT_EQ(receiveModeHandover(app, MODE_HANDOVER_TAG, max.data(), max.size()),
              HandoverReply::Starting);
    EXPECT_EQ(app.settings.mode, ControlMode::SystemAuto);
    EXPECT_TRUE(backend->calls.empty());
    EXPECT_TRUE(registry.writes.empty());
}

TEST_F(ModeHandoverTest, AModeThatDoesNotTakeIsReportedAsFailed) {
    // Refused: no temperature measured since the connect, and the notice says so.
    app.regulation.safety.cpuAge = -1;
    const Bytes quiet = bytesOf(ControlMode::Quiet);
    EXPECT_EQ(receiveModeHandover(app, MODE_HANDOVER_TAG, quiet.data(), quiet.size()),
              HandoverReply::Failed);
    EXPECT_TRUE(app.regulation.notice.isError);
    EXPECT_EQ(app.settings.mode, ControlMode::SystemAuto);
    // Its commands do not reach the hardware.
    app.regulation.safety.cpuAge = 0;
    backend->setFanRpmResults = {false, false};
    const Bytes max = bytesOf(ControlMode::Max);
    EXPECT_EQ(receiveModeHandover(app, MODE_HANDOVER_TAG, max.data(), max.size()),
              HandoverReply::Failed);
    EXPECT_EQ(exitCodeForReply(HandoverReply::Failed), EXIT_MODE_FAILED);
}
