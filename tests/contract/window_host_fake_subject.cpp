#include "contract/window_host_contract.h"
#include "fakes/recording_window_host.h"

namespace {

class RecordingProbe final : public WindowHostProbe {
public:
    WindowHost& host() override { return fake_; }
    bool exists() override { return !fake_.destroyed; }
    bool visible() override { return fake_.visible; }
    bool captured() override { return fake_.captured; }
    bool needsPainting() override { return fake_.invalid; }
    void validate() override { fake_.invalid = false; }
    bool timerFires(std::uint32_t id, int) override { return fake_.timers.count(id) != 0; }
    Rect windowRect() override { return fake_.windowRect; }
    std::optional<int> takeQuit() override { return std::exchange(fake_.quitCode, std::nullopt); }
    std::vector<MenuEntry> lastMenu() override {
        return fake_.menus.empty() ? std::vector<MenuEntry>{} : fake_.menus.back();
    }
    TrayIconImage trayPicture() override { return fake_.icon; }
    std::optional<TrayBalloon> lastBalloon() override {
        if (fake_.balloons.empty())
            return std::nullopt;
        return fake_.balloons.back();
    }

    std::wstring tooltip() override { return fake_.tooltip; }

private:
    RecordingWindowHost fake_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Fake, WindowHostContract,
                         ::testing::Values(WindowHostSubject{
                             "Fake", [] { return std::make_unique<RecordingProbe>(); }}),
                         windowHostSubjectName);
