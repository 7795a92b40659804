#include "regulation/control_modes.h"

#include "base/bounded_format.h"
#include "base/rounding.h"
#include "base/texts.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "regulation/control_temperature.h"
#include "regulation/fan_commands.h"
#include "regulation/fan_curve.h"
#include "settings/registry_settings.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// A fixed profile: the same fraction of every fan's own range, rounded.
bool commandFraction(RegulationState& regulation, double fraction) {
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    bool ok = true;
    for (std::size_t i = 0; i < fans.size(); ++i) {
        const FanChannel& fan = fans[i];
        const double speed = roundHalfAway((fan.maxRpm - fan.minRpm) * fraction + fan.minRpm);
        ok = commandFanRpm(regulation, i, speed) && ok;
    }
    return ok;
}

bool commandMax(RegulationState& regulation) {
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    bool ok = true;
    for (std::size_t i = 0; i < fans.size(); ++i)
        ok = commandFanRpm(regulation, i, fans[i].maxRpm) && ok;
    return ok;
}

// A stored manual speed may lie outside a fan's range (it is accepted from 500 to 8000), but a
// backend expects speeds inside it: the fan gets the nearest speed it can run. A fan that does
// not exist keeps the stored speed, for the notice.
std::array<double, 2> manualSpeeds(const std::vector<FanChannel>& fans, const Settings& settings) {
    std::array<double, 2> speeds = settings.manualRpm;
    for (std::size_t i = 0; i < 2 && i < fans.size(); ++i) {
        const FanChannel& fan = fans[i];
        const double lo = std::fmin(fan.minRpm, fan.maxRpm);
        const double hi = std::fmax(fan.minRpm, fan.maxRpm);
        speeds[i] = std::fmax(lo, std::fmin(speeds[i], hi));
    }
    return speeds;
}

bool commandManual(RegulationState& regulation, const Settings& settings) {
    const std::vector<FanChannel>& fans = regulation.readings.fanList;
    const std::array<double, 2> speeds = manualSpeeds(fans, settings);
    bool ok = true;
    for (std::size_t i = 0; i < 2 && i < fans.size(); ++i)
        ok = commandFanRpm(regulation, i, speeds[i]) && ok;
    return ok;
}

void setNotice(Notice& notice, const wchar_t* text) {
    notice.text = text;
    notice.isError = false;
}

// A backend that drives no fan records the mode and its speeds as targets only; the notice says
// so instead of claiming a fan level.
void showDisplayOnly(Notice& notice, ControlMode mode) {
    const bool profile =
        mode == ControlMode::Quiet || mode == ControlMode::Balanced || mode == ControlMode::Max;
    wchar_t shown[160];
    formatBounded(shown, 160, text(TextId::NoticeDisplayOnly),
                  text(profile ? TextId::NoticeProfile : TextId::NoticeMode),
                  controlModeName(mode));
    setNotice(notice, shown);
}

} // namespace

void showModeFailure(Notice& notice, ControlMode mode) {
    wchar_t shown[160];
    if (mode == ControlMode::Manual)
        copyBounded(shown, 160, text(TextId::NoticeManualFailed));
    else
        formatBounded(shown, 160, text(TextId::NoticeProfileFailed), controlModeName(mode));
    notice.text = shown;
    notice.isError = true;
}

bool commandMode(RegulationState& regulation, const Settings& settings, ControlMode mode,
                 bool force) {
    bool ok = true;
    switch (mode) {
    case ControlMode::SystemAuto:
        return handFansBack(regulation);
    case ControlMode::Curve:
        return applyCurve(regulation, settings, force);
    case ControlMode::Quiet:
        ok = commandFraction(regulation, 0.15);
        break;
    case ControlMode::Balanced:
        ok = commandFraction(regulation, 0.5);
        break;
    case ControlMode::Max:
        ok = commandMax(regulation);
        break;
    case ControlMode::Manual:
        ok = commandManual(regulation, settings);
        break;
    default:
        return true; // an unknown mode commands nothing
    }
    if (!regulation.readings.fanList.empty())
        noteCommands(regulation.safety, ok);
    return ok;
}

TextId controlModeText(ControlMode mode) {
    switch (mode) {
    case ControlMode::Curve:
        return TextId::ModeCurve;
    case ControlMode::Quiet:
        return TextId::ModeQuiet;
    case ControlMode::Balanced:
        return TextId::ModeBalanced;
    case ControlMode::Max:
        return TextId::ModeMax;
    case ControlMode::Manual:
        return TextId::ModeManual;
    case ControlMode::SystemAuto:
    default:
        return TextId::ModeSystemAuto;
    }
}

const wchar_t* controlModeName(ControlMode mode) {
    return text(controlModeText(mode));
}

bool applyControlMode(RegulationState& regulation, Settings& settings, ControlMode mode) {
    FanSafetyState& safety = regulation.safety;
    Notice& notice = regulation.notice;
    // A mode that keeps a fan low needs a temperature the rules can watch; without one the
    // fans stay as they are.
    if (regulation.controller && !controlTemperatureMeasured(safety, settings, mode)) {
        wchar_t refused[200];
        formatBounded(refused, 200, text(TextId::NoticeNoTemperatureYet), controlModeName(mode));
        notice = {refused, true};
        regulation.events.push_back({RegulationEventKind::ModeApplied, mode, HandBackReason::None,
                                     false, 0.0, notice.text});
        if (platform.windowHost != nullptr)
            platform.windowHost->invalidate(false);
        return false;
    }
    regulation.lastCurveRpm.fill(-1.0);
    safety.commandedRpm.fill(-1.0);
    safety.curveFailureShown = false;
    safety.ticksSinceRecommand = 0;
    // Only a running machine chooses a mode: whatever suspend was announced is over.
    safety.suspended = false;
    safety.handBackRetrying = false;
    settings.mode = mode;
    if (!regulation.controller)
        return false;

    const bool ok = commandMode(regulation, settings, mode, true);
    switch (mode) {
    case ControlMode::SystemAuto:
        if (ok) {
            setNotice(notice, text(TextId::NoticeSystemAuto));
        } else {
            notice.text = text(TextId::NoticeSystemAutoFailed);
            notice.isError = true;
        }
        break;
    case ControlMode::Curve:
        setNotice(notice, text(TextId::NoticeCurve));
        safety.curveFailureShown = !ok;
        break;
    case ControlMode::Quiet:
        setNotice(notice, text(TextId::NoticeQuiet));
        break;
    case ControlMode::Balanced:
        setNotice(notice, text(TextId::NoticeBalanced));
        break;
    case ControlMode::Max:
        setNotice(notice, text(TextId::NoticeMax));
        break;
    case ControlMode::Manual: {
        const std::array<double, 2> shown = manualSpeeds(regulation.readings.fanList, settings);
        wchar_t manual[128];
        formatBounded(manual, 128, text(TextId::NoticeManual), shown[0], shown[1]);
        setNotice(notice, manual);
        break;
    }
    default:
        break; // an unknown mode keeps the notice
    }
    if (!ok && mode != ControlMode::SystemAuto)
        showModeFailure(notice, mode);
    else if (mode >= ControlMode::Curve && mode <= ControlMode::Manual &&
             !regulation.controller->drivesFans())
        showDisplayOnly(notice, mode);
    regulation.events.push_back(
        {RegulationEventKind::ModeApplied, mode, HandBackReason::None, ok, 0.0, notice.text});

    saveSettings(settings);
    if (platform.windowHost != nullptr)
        platform.windowHost->invalidate(false);
    return ok;
}
