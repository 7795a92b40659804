#include "fakes/layout_check.h"

#include "app/app_state.h"
#include "base/bounded_format.h"
#include "base/texts.h"
#include "fakes/recording_controller.h"
#include "ui/paint_window.h"
#include "ui/theme.h"

#include <algorithm>
#include <memory>
#include <sstream>

namespace {

Rect boxOf(const DrawCall& c, TextSize size);

struct Placed {
    Rect ink;
    const DrawCall* call;
};

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
    return out;
}

std::string describe(const Rect& r) {
    std::ostringstream s;
    s << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
    return s.str();
}

bool overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Where the glyphs can be: the measured width, and of the line's height the part below the
// internal leading (the cell less the character height), which no glyph of our texts reaches.
Rect inkOf(const DrawCall& c, TextSize size) {
    const int leading =
        std::max(size.height - FONT_DEFINITIONS[static_cast<int>(c.font)].pixelSize, 0);
    Rect r = boxOf(c, size);
    r.top += leading;
    return r;
}

Rect boxOf(const DrawCall& c, TextSize size) {
    if (c.kind == DrawCall::Kind::TextAt)
        return {c.at.x, c.at.y, c.at.x + size.width, c.at.y + size.height};
    const Rect& r = c.rect;
    const int midY = r.top + (r.height() - size.height) / 2;
    switch (c.align) {
    case TextAlign::Center: {
        const int x = r.left + (r.width() - size.width) / 2;
        return {x, midY, x + size.width, midY + size.height};
    }
    case TextAlign::LeftVCenter:
        return {r.left, midY, r.left + size.width, midY + size.height};
    case TextAlign::Right:
    case TextAlign::RightEllipsis:
        return {r.right - size.width, r.top, r.right, r.top + size.height};
    }
    return r;
}

} // namespace

std::vector<std::string> findLayoutFaults(RecordingCanvas& canvas) {
    std::vector<std::string> faults;
    std::vector<Placed> texts;
    for (std::size_t i = 0; i < canvas.calls.size(); ++i) {
        const DrawCall& c = canvas.calls[i];
        if ((c.kind != DrawCall::Kind::TextAt && c.kind != DrawCall::Kind::TextIn) ||
            c.text.empty())
            continue;
        const TextSize size = canvas.measureText(c.text, c.font);
        const Rect ink = inkOf(c, size);
        // Appended piece by piece: GCC 12 warns wrongly about "literal" + std::string.
        std::string name(1, '"');
        name.append(narrow(c.text)).append("\" ").append(describe(ink));
        if (c.kind == DrawCall::Kind::TextIn &&
            (size.width > c.rect.width() || !inside(ink, c.rect)))
            faults.push_back(name + " does not fit its box " + describe(c.rect));
        // The shape it sits on: the last one drawn before it under its top-left corner.
        const DrawCall* base = nullptr;
        for (std::size_t j = i; j-- > 0;) {
            const DrawCall& s = canvas.calls[j];
            if ((s.kind == DrawCall::Kind::Panel || s.kind == DrawCall::Kind::Fill) &&
                s.rect.contains(ink.left, ink.top)) {
                base = &s;
                break;
            }
        }
        if (base == nullptr)
            faults.push_back(name + " lies on no shape");
        else if (!inside(ink, base->rect))
            faults.push_back(name + " runs out of " + describe(base->rect));
        for (const Placed& other : texts)
            if (overlaps(ink, other.ink))
                faults.push_back(name + " overlaps \"" + narrow(other.call->text) + "\" " +
                                 describe(other.ink));
        texts.push_back({ink, &c});
    }
    return faults;
}

// The hardware tab's values as the inventory formats them, in the language of the moment.
std::wstring formatted(TextId format, auto... values) {
    wchar_t out[128];
    formatBounded(out, 128, text(format), values...);
    return out;
}

void loadLayoutScene(AppState& app, bool apple) {
    app.regulation.notice.text =
        textLanguage() == Language::German
            ? L"Modus 'Temperatur-Kurve' aktiviert · Lüfter folgen der Kurve"
            : L"Mode 'Temperature Curve' activated · fans follow the curve";
    app.regulation.notice.isError = false;
    auto controller = std::make_unique<RecordingController>();
    controller->connected = true;
    if (apple) {
        controller->name = L"Apple SMC (applesmc.sys)";
        controller->status = L"AppleSMC Treiber verbunden · 2 Lüfter · 15 Sensoren";
        app.identity.manufacturer = L"Apple Inc.";
        app.identity.product = L"MacBookPro15,1";
        app.regulation.readings.fanList = {makeFan(0, 1200, 5927, 2416),
                                           makeFan(1, 1200, 5507, 2210)};
        app.regulation.readings.fanList[0].label = L"Linker Lüfter (CPU-Seite)";
        app.regulation.readings.fanList[1].label = L"Rechter Lüfter (GPU-Seite)";
        const wchar_t* keys[][3] = {{L"TC0P", L"CPU Proximity", L"CPU"},
                                    {L"TC0D", L"CPU Die", L"CPU"},
                                    {L"TC1C", L"CPU Kern 1", L"CPU"},
                                    {L"TC2C", L"CPU Kern 2", L"CPU"},
                                    {L"TG0P", L"GPU Proximity", L"Grafik"},
                                    {L"TG0D", L"GPU Die", L"Grafik"},
                                    {L"Th1H", L"Kühlkörper rechts", L"Gehäuse"},
                                    {L"TB0T", L"Akku Temperatur", L"Akku & Netzteil"},
                                    {L"Ts0P", L"Handauflage links", L"Gehäuse"},
                                    {L"TM0P", L"Speicher Proximity", L"Arbeitsspeicher"},
                                    {L"TPCD", L"Platform Controller Hub", L"Mainboard"},
                                    {L"TW0P", L"WLAN-Modul", L"Funk"},
                                    {L"TA0P", L"Umgebungsluft", L"Gehäuse"},
                                    {L"PSTR", L"System-Gesamtleistung", L"Spannung & Leistung"},
                                    {L"PCPT", L"CPU Package Leistung", L"Spannung & Leistung"}};
        for (const auto& k : keys) {
            const bool power = k[0][0] == L'P';
            app.regulation.readings.sensorList.push_back(
                {k[0], k[1], k[2], power ? L"W" : L"°C", power ? 31.4 : 101.5, false});
        }
        app.regulation.readings.sensorList[3].lost = true;
    } else {
        controller->name = L"ASUS ROG/TUF Armoury ACPI-WMI Schnittstelle";
        controller->status = L"ASUS WMI Thermal-Schnittstelle aktiv (nur Anzeige, keine "
                             L"Lüftersteuerung)";
        app.identity.manufacturer = L"ASUSTeK COMPUTER INC. (Republic of Gamers)";
        app.identity.product = L"ROG Zephyrus G14 GA401QM_GA401QM";
        app.regulation.readings.fanList = {makeFan(0, 1800, 5200, 2400),
                                           makeFan(1, 800, 4200, 1600)};
        app.regulation.readings.fanList[0].label = L"CPU-Lüfter (Systemlüfter)";
        app.regulation.readings.fanList[1].label = L"Sekundärlüfter (GPU / Gehäuse)";
        for (FanChannel& f : app.regulation.readings.fanList)
            f.measured = false;
        app.regulation.readings.quality = {true, true, true};
        app.regulation.readings.sensorList = {{L"PWR1", L"Geschätzte System-Gesamtleistung",
                                               L"Spannung & Leistung", L"W", 33.4, false}};
    }
    app.regulation.controller = std::move(controller);
    app.inventory = {
        {text(TextId::InvDeviceTitle),
         text(TextId::InvLaptop),
         palette::Accent,
         {{text(TextId::InvManufacturer), app.identity.manufacturer},
          {text(TextId::InvProduct), app.identity.product},
          {text(TextId::InvBoard), L"Apple Inc. Mac-937A206F2EE63C01"},
          {text(TextId::InvBios), L"1554.140.20.0.0 (iBridge: 18.16.14759.0.1,0)"},
          {text(TextId::InvBackend), L"Apple SMC (applesmc.sys)"}}},
        {text(TextId::InvCpuTitle),
         text(TextId::InvCpuSubtitle),
         palette::Warning,
         {{text(TextId::InvModel), L"Intel(R) Core(TM) i7-8850H CPU @ 2.60GHz"},
          {text(TextId::InvCores), formatted(TextId::InvCoresValue, 12u)},
          {text(TextId::InvClock), formatted(TextId::InvClockValue, 2.3)}}},
        {text(TextId::InvRamTitle),
         text(TextId::InvRamSubtitle),
         palette::Good,
         {{text(TextId::InvCapacity), formatted(TextId::InvCapacityValue, 24.0, 23.9)},
          {text(TextId::InvUsage), formatted(TextId::InvUsageValue, 11.2, 12.7, 46ul)}}},
        {text(TextId::InvGpuTitle),
         text(TextId::InvGpuSubtitle),
         palette::Critical,
         {{text(TextId::InvActiveGpu), L"Radeon Pro 560X / Intel(R) UHD Graphics 630"},
          {text(TextId::InvResolution), formatted(TextId::InvResolutionValue, 2880, 1800)}}},
        {text(TextId::InvDrivesTitle),
         text(TextId::InvDrivesSubtitle),
         palette::Accent,
         {{formatted(TextId::InvDrive, L'C', L"BOOTCAMP"),
           formatted(TextId::InvDriveValue, 112.4, 255.9, L"NTFS")},
          {formatted(TextId::InvDrive, L'D', L"Daten"),
           formatted(TextId::InvDriveValue, 1.2, 31.9, L"exFAT")}}},
    };
    app.regulation.readings.cpuTemp = 67.4;
    app.regulation.readings.gpuTemp = 58.9;
    app.regulation.readings.powerWatts = 104.0;
    app.settings.manualRpm = {2200.0, 2000.0};
}

std::vector<std::string> layoutFaultsOfEveryTab(Canvas* measurer) {
    const Rect clients[] = {{0, 0, 581, 520}, {0, 0, 724, 721}, {0, 0, 724, 1041}};
    const Language spoken = textLanguage();
    std::vector<std::string> all;
    for (Language language : {Language::German, Language::English}) {
        setTextLanguage(language);
        for (bool apple : {true, false}) {
            AppState app;
            loadLayoutScene(app, apple);
            const WindowModel model{app.settings, app.regulation, app.identity, app.inventory};
            for (const Rect& client : clients) {
                for (int tab = 0; tab < 6; ++tab) {
                    for (int mode = 0; mode < 6; ++mode) {
                        if (tab != 0 && mode != 1)
                            continue;
                        app.ui.activeTab = tab;
                        app.settings.mode = static_cast<ControlMode>(mode);
                        RecordingCanvas canvas;
                        canvas.measurer = measurer;
                        paintWindow(canvas, client, app.ui, model);
                        for (const std::string& f : findLayoutFaults(canvas)) {
                            std::ostringstream where;
                            where << (language == Language::German ? "de " : "en ")
                                  << (apple ? "apple " : "generic ") << client.width() << "x"
                                  << client.height() << " tab " << tab << " mode " << mode << ": ";
                            all.push_back(where.str() + f);
                        }
                    }
                }
            }
        }
    }
    setTextLanguage(spoken);
    return all;
}
