#include "app/csv_log_format.h"

#include "base/bounded_format.h"
#include "base/utf8_text.h"
#include "regulation/control_modes.h"

#include <cmath>
#include <cstdio>
#include <cwctype>

namespace {

constexpr std::size_t FAN_COLUMNS = 2;

// A fixed number of decimals, a dot whatever the locale; empty for a value that is not one.
void appendNumber(std::string& out, double value, int decimals) {
    out += ',';
    if (!std::isfinite(value))
        return;
    // The program never changes the C locale, so printf writes a dot; std::to_chars would pull
    // 170 KB of conversion tables into the executable for the same digits.
    char buffer[64];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof buffer)
        out.append(buffer, static_cast<std::size_t>(length));
}

// Quoted when the text holds a separator, a quote or a line break; quotes doubled.
void appendText(std::string& out, std::wstring_view text) {
    const std::string bytes = utf8FromWide(text);
    if (bytes.find_first_of(",\"\r\n") == std::string::npos) {
        out += bytes;
        return;
    }
    out += '"';
    for (char c : bytes) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// The log is read by tools and compared across days: its mode names stay German, whatever
// language the window speaks.
const wchar_t* csvModeName(ControlMode mode) {
    return textIn(Language::German, controlModeText(mode));
}

const wchar_t* reasonText(HandBackReason reason) {
    switch (reason) {
    case HandBackReason::OverTemperature:
        return L"Übertemperatur";
    case HandBackReason::TemperatureLost:
        return L"Temperatur nicht mehr lesbar";
    case HandBackReason::NeverMeasured:
        return L"Temperatur seit dem Verbinden nicht gemessen";
    case HandBackReason::LeftoverAtConnect:
        return L"Lüfter waren beim Verbinden noch manuell gesteuert";
    case HandBackReason::None:
    default:
        return L"ohne Grund";
    }
}

int digits(std::wstring_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return -1;
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

bool sameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

} // namespace

std::string csvHeader() {
    return "Zeit,Modus,CPU (°C),GPU (°C),Leistung (W),Lüfter 1 (RPM),Lüfter 1 Soll (RPM),"
           "Lüfter 2 (RPM),Lüfter 2 Soll (RPM),Ereignis\n";
}

std::string isoTime(const LocalTime& t) {
    const int offset = std::abs(t.utcOffsetMinutes);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year,
                  t.month, t.day, t.hour, t.minute, t.second, t.utcOffsetMinutes < 0 ? '-' : '+',
                  offset / 60, offset % 60);
    return buffer;
}

std::wstring logFileName(const LocalTime& t) {
    wchar_t name[40];
    formatBounded(name, 40, L"ventrasol-%04d-%02d-%02d.csv", t.year, t.month, t.day);
    return name;
}

std::optional<std::int64_t> logFileDay(std::wstring_view name) {
    // "ventrasol-" YYYY "-" MM "-" DD ".csv"
    if (name.size() != 24 || !sameIgnoringCase(name.substr(0, 10), L"ventrasol-") ||
        name[14] != L'-' || name[17] != L'-' || !sameIgnoringCase(name.substr(20), L".csv"))
        return std::nullopt;
    const int year = digits(name, 10, 4);
    const int month = digits(name, 15, 2);
    const int day = digits(name, 18, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    return daysSinceEpoch(year, month, day);
}

std::wstring eventText(const RegulationEvent& event) {
    const std::wstring mode = csvModeName(event.mode);
    switch (event.kind) {
    case RegulationEventKind::ModeApplied:
        if (event.ok)
            return L"Modus " + mode;
        return L"Modus " + mode + L" fehlgeschlagen: " + event.text;
    case RegulationEventKind::HandedBack: {
        std::wstring text = L"An System-Automatik übergeben (" + mode + L"): ";
        text += reasonText(event.reason);
        if (event.reason == HandBackReason::OverTemperature) {
            wchar_t degrees[32];
            formatBounded(degrees, 32, L" %.0f °C", event.temperature);
            text += degrees;
        }
        return text;
    }
    case RegulationEventKind::HandBackFailing:
        return L"Lüfter noch manuell gesteuert, Übergabe wird wiederholt";
    case RegulationEventKind::DriverFault:
        return L"Treiber-Fehler: die Hardware antwortet nicht";
    case RegulationEventKind::DriverRecovered:
        return L"Treiber antwortet wieder";
    }
    return event.text;
}

std::string csvRow(const LocalTime& time, const Settings& settings, const Readings& readings,
                   const std::vector<RegulationEvent>& events) {
    const ReadingQuality& quality = readings.quality;
    std::string row = isoTime(time);
    row += ',';
    appendText(row, csvModeName(settings.mode));
    constexpr double none = NAN;
    appendNumber(row, readings.cpuTempLost || quality.cpuTempFallback ? none : readings.cpuTemp, 1);
    appendNumber(row, readings.gpuTempLost || quality.gpuTempFallback ? none : readings.gpuTemp, 1);
    appendNumber(row, readings.powerLost ? none : readings.powerWatts, 1);
    for (std::size_t i = 0; i < FAN_COLUMNS; ++i) {
        const bool present = i < readings.fanList.size();
        const FanChannel fan = present ? readings.fanList[i] : FanChannel{};
        appendNumber(row, present && fan.measured ? fan.currentRpm : none, 0);
        appendNumber(row, present ? fan.targetRpm : none, 0);
    }
    row += ',';
    std::wstring what;
    for (const RegulationEvent& event : events) {
        if (!what.empty())
            what += L"; ";
        what += eventText(event);
    }
    appendText(row, what);
    row += '\n';
    return row;
}
