#include "regulation/control_modes.h"

#include "app/app_state.h"
#include "base/bounded_format.h"
#include "base/rounding.h"
#include "platform/platform.h"
#include "platform/window_host.h"
#include "regulation/fan_curve.h"
#include "settings/registry_settings.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// A fixed profile: the same fraction of every fan's own range, rounded.
void commandFraction(double fraction) {
    for (std::size_t i = 0; i < appState.fanList.size(); ++i) {
        const FanChannel& fan = appState.fanList[i];
        const double speed = roundHalfAway((fan.maxRpm - fan.minRpm) * fraction + fan.minRpm);
        appState.controller->setFanRpm(static_cast<std::int32_t>(i), speed);
    }
}

void commandMax() {
    for (std::size_t i = 0; i < appState.fanList.size(); ++i)
        appState.controller->setFanRpm(static_cast<std::int32_t>(i), appState.fanList[i].maxRpm);
}

// A stored manual speed may lie outside a fan's range (it is accepted from 500 to 8000), but a
// backend expects speeds inside it: the fan gets the nearest speed it can run.
double clampToRange(double rpm, const FanChannel& fan) {
    const double lo = std::fmin(fan.minRpm, fan.maxRpm);
    const double hi = std::fmax(fan.minRpm, fan.maxRpm);
    return std::fmax(lo, std::fmin(rpm, hi));
}

void commandManual() {
    // The notice shows what each fan was actually sent, and the stored speed for a fan that
    // does not exist.
    std::array<double, 2> shown = appState.manualRpm;
    for (std::size_t i = 0; i < 2 && i < appState.fanList.size(); ++i) {
        shown[i] = clampToRange(appState.manualRpm[i], appState.fanList[i]);
        appState.controller->setFanRpm(static_cast<std::int32_t>(i), shown[i]);
    }
    wchar_t text[128];
    formatBounded(text, 128, L"Manuelle Steuerung aktiv (Lüfter 1: %.0f RPM · Lüfter 2: %.0f RPM).",
                  shown[0], shown[1]);
    appState.noticeText = text;
    appState.noticeIsError = false;
}

void setNotice(const wchar_t* text) {
    appState.noticeText = text;
    appState.noticeIsError = false;
}

} // namespace

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
    appState.mode = mode;
    if (!appState.controller)
        return;

    switch (mode) {
    case ControlMode::SystemAuto:
        if (appState.controller->setAutomatic()) {
            setNotice(L"System-Automatik aktiv (Lüftersteuerung durch BIOS/Hardware).");
        } else {
            appState.noticeText = L"Fehler beim Setzen der Automatik.";
            appState.noticeIsError = true;
        }
        break;
    case ControlMode::Curve:
        applyCurve(true);
        setNotice(L"Temperatur-Kurve aktiv (dynamische Regelung mit 45 RPM Hysterese).");
        break;
    case ControlMode::Quiet:
        commandFraction(0.15);
        setNotice(L"Profil 'Leise' aktiviert (~15 % Lüfterleistung).");
        break;
    case ControlMode::Balanced:
        commandFraction(0.5);
        setNotice(L"Profil 'Ausgewogen' aktiviert (~50 % Lüfterleistung).");
        break;
    case ControlMode::Max:
        commandMax();
        setNotice(L"Profil 'Maximal (Turbo)' aktiviert (100 % Kühlung).");
        break;
    case ControlMode::Manual:
        commandManual();
        break;
    default:
        break; // an unknown mode commands nothing and keeps the notice
    }

    saveSettings();
    if (platform.windowHost != nullptr)
        platform.windowHost->invalidate(false);
}
