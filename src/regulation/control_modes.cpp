#include "regulation/control_modes.h"

#include "base/bounded_format.h"
#include "base/rounding.h"
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
    wchar_t text[160];
    formatBounded(text, 160,
                  L"%ls '%ls' gewählt – dieser PC erlaubt keine Lüftersteuerung, es wird nur "
                  L"angezeigt.",
                  profile ? L"Profil" : L"Modus", controlModeName(mode));
    setNotice(notice, text);
}

} // namespace

void showModeFailure(Notice& notice, ControlMode mode) {
    wchar_t text[160];
    if (mode == ControlMode::Manual)
        formatBounded(text, 160,
                      L"Manuelle Drehzahl konnte nicht gesetzt werden (Lüftersteuerung antwortet "
                      L"nicht).");
    else
        formatBounded(text, 160,
                      L"Profil '%ls' konnte nicht angewendet werden (Lüftersteuerung antwortet "
                      L"nicht).",
                      controlModeName(mode));
    notice.text = text;
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

const wchar_t* controlModeName(ControlMode mode) {
    switch (mode) {
    case ControlMode::Curve:
        return L"Temperatur-Kurve";
    case ControlMode::Quiet:
        return L"Leise";
    case ControlMode::Balanced:
        return L"Ausgewogen";
    case ControlMode::Max:
        return L"Maximal (Turbo)";
    case ControlMode::Manual:
        return L"Manuell (RPM)";
    case ControlMode::SystemAuto:
    default:
        return L"System-Auto";
    }
}

bool applyControlMode(RegulationState& regulation, Settings& settings, ControlMode mode) {
    FanSafetyState& safety = regulation.safety;
    Notice& notice = regulation.notice;
    // A mode that keeps a fan low needs a temperature the rules can watch; without one the
    // fans stay as they are.
    if (regulation.controller && !controlTemperatureMeasured(safety, settings, mode)) {
        wchar_t text[200];
        formatBounded(text, 200,
                      L"'%ls' nicht angewendet: noch keine Temperatur gemessen – ohne sie greift "
                      L"der Übertemperatur-Schutz nicht.",
                      controlModeName(mode));
        notice = {text, true};
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
            setNotice(notice, L"System-Automatik aktiv (Lüftersteuerung durch BIOS/Hardware).");
        } else {
            notice.text = L"Fehler beim Setzen der Automatik.";
            notice.isError = true;
        }
        break;
    case ControlMode::Curve:
        setNotice(notice, L"Temperatur-Kurve aktiv (dynamische Regelung mit 45 RPM Hysterese).");
        safety.curveFailureShown = !ok;
        break;
    case ControlMode::Quiet:
        setNotice(notice, L"Profil 'Leise' aktiviert (~15 % Lüfterleistung).");
        break;
    case ControlMode::Balanced:
        setNotice(notice, L"Profil 'Ausgewogen' aktiviert (~50 % Lüfterleistung).");
        break;
    case ControlMode::Max:
        setNotice(notice, L"Profil 'Maximal (Turbo)' aktiviert (100 % Kühlung).");
        break;
    case ControlMode::Manual: {
        const std::array<double, 2> shown = manualSpeeds(regulation.readings.fanList, settings);
        wchar_t text[128];
        formatBounded(text, 128,
                      L"Manuelle Steuerung aktiv (Lüfter 1: %.0f RPM · Lüfter 2: %.0f RPM).",
                      shown[0], shown[1]);
        setNotice(notice, text);
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
