#include "regulation/control_modes.h"

#include "app/app_state.h"
#include "base/bounded_format.h"
#include "base/rounding.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "regulation/fan_commands.h"
#include "regulation/fan_curve.h"
#include "settings/registry_settings.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// A fixed profile: the same fraction of every fan's own range, rounded.
bool commandFraction(double fraction) {
    bool ok = true;
    for (std::size_t i = 0; i < appState.fanList.size(); ++i) {
        const FanChannel& fan = appState.fanList[i];
        const double speed = roundHalfAway((fan.maxRpm - fan.minRpm) * fraction + fan.minRpm);
        ok = commandFanRpm(i, speed) && ok;
    }
    return ok;
}

bool commandMax() {
    bool ok = true;
    for (std::size_t i = 0; i < appState.fanList.size(); ++i)
        ok = commandFanRpm(i, appState.fanList[i].maxRpm) && ok;
    return ok;
}

// A stored manual speed may lie outside a fan's range (it is accepted from 500 to 8000), but a
// backend expects speeds inside it: the fan gets the nearest speed it can run. A fan that does
// not exist keeps the stored speed, for the notice.
std::array<double, 2> manualSpeeds() {
    std::array<double, 2> speeds = appState.manualRpm;
    for (std::size_t i = 0; i < 2 && i < appState.fanList.size(); ++i) {
        const FanChannel& fan = appState.fanList[i];
        const double lo = std::fmin(fan.minRpm, fan.maxRpm);
        const double hi = std::fmax(fan.minRpm, fan.maxRpm);
        speeds[i] = std::fmax(lo, std::fmin(speeds[i], hi));
    }
    return speeds;
}

bool commandManual() {
    const std::array<double, 2> speeds = manualSpeeds();
    bool ok = true;
    for (std::size_t i = 0; i < 2 && i < appState.fanList.size(); ++i)
        ok = commandFanRpm(i, speeds[i]) && ok;
    return ok;
}

void setNotice(const wchar_t* text) {
    appState.noticeText = text;
    appState.noticeIsError = false;
}

} // namespace

void showModeFailure(ControlMode mode) {
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
    appState.noticeText = text;
    appState.noticeIsError = true;
}

bool commandMode(ControlMode mode, bool force) {
    switch (mode) {
    case ControlMode::SystemAuto:
        return handFansBack();
    case ControlMode::Curve:
        return applyCurve(force);
    case ControlMode::Quiet:
        return commandFraction(0.15);
    case ControlMode::Balanced:
        return commandFraction(0.5);
    case ControlMode::Max:
        return commandMax();
    case ControlMode::Manual:
        return commandManual();
    default:
        return true; // an unknown mode commands nothing
    }
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

void applyControlMode(ControlMode mode) {
    appState.lastCurveRpm.fill(-1.0);
    appState.safety.commandedRpm.fill(-1.0);
    appState.safety.curveFailureShown = false;
    appState.safety.ticksSinceRecommand = 0;
    // Only a running machine chooses a mode: whatever suspend was announced is over.
    appState.safety.suspended = false;
    appState.mode = mode;
    if (!appState.controller)
        return;

    const bool ok = commandMode(mode, true);
    switch (mode) {
    case ControlMode::SystemAuto:
        if (ok) {
            setNotice(L"System-Automatik aktiv (Lüftersteuerung durch BIOS/Hardware).");
        } else {
            appState.noticeText = L"Fehler beim Setzen der Automatik.";
            appState.noticeIsError = true;
        }
        break;
    case ControlMode::Curve:
        setNotice(L"Temperatur-Kurve aktiv (dynamische Regelung mit 45 RPM Hysterese).");
        appState.safety.curveFailureShown = !ok;
        break;
    case ControlMode::Quiet:
        setNotice(L"Profil 'Leise' aktiviert (~15 % Lüfterleistung).");
        break;
    case ControlMode::Balanced:
        setNotice(L"Profil 'Ausgewogen' aktiviert (~50 % Lüfterleistung).");
        break;
    case ControlMode::Max:
        setNotice(L"Profil 'Maximal (Turbo)' aktiviert (100 % Kühlung).");
        break;
    case ControlMode::Manual: {
        const std::array<double, 2> shown = manualSpeeds();
        wchar_t text[128];
        formatBounded(text, 128,
                      L"Manuelle Steuerung aktiv (Lüfter 1: %.0f RPM · Lüfter 2: %.0f RPM).",
                      shown[0], shown[1]);
        setNotice(text);
        break;
    }
    default:
        break; // an unknown mode keeps the notice
    }
    if (!ok && mode != ControlMode::SystemAuto)
        showModeFailure(mode);

    saveSettings();
    if (platform.windowHost != nullptr)
        platform.windowHost->invalidate(false);
}
