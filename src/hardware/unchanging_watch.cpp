#include "hardware/unchanging_watch.h"

#include <algorithm>

void UnchangingWatch::mark(std::vector<ThermalZoneReading>* zones, const wchar_t* source,
                           RetryBackoff::Clock::time_point now) {
    std::vector<Seen> next;
    next.reserve(zones->size());
    for (std::size_t i = 0; i < zones->size(); ++i) {
        ThermalZoneReading& zone = (*zones)[i];
        // Zones of the same name (unnamed ones, say) by their order among themselves, so one
        // that comes or goes leaves the others' keys alone.
        const auto sameName =
            std::count_if(zones->begin(), zones->begin() + i,
                          [&](const ThermalZoneReading& z) { return z.name == zone.name; });
        std::wstring key =
            std::wstring(source) + L'|' + zone.name + L'|' + std::to_wstring(sameName);
        const auto old =
            std::find_if(seen.begin(), seen.end(), [&](const Seen& s) { return s.key == key; });
        const bool same = old != seen.end() && old->value == zone.temperature;
        const auto since = same ? old->since : now;
        zone.unchanging = now - since >= UNCHANGED_FOR;
        next.push_back({std::move(key), zone.temperature, since});
    }
    seen = std::move(next);
}
