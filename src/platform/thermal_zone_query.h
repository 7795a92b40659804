#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// How long the query waits for each object before it counts as failed.
inline constexpr std::uint32_t THERMAL_ZONE_NEXT_TIMEOUT_MS = 2000;

// Variant types as WMI delivers them; only the core decides which ones it accepts.
inline constexpr std::uint16_t VARIANT_TYPE_EMPTY = 0; // VT_EMPTY
inline constexpr std::uint16_t VARIANT_TYPE_I4 = 3;    // VT_I4
inline constexpr std::uint16_t VARIANT_TYPE_BSTR = 8;  // VT_BSTR
inline constexpr std::uint16_t VARIANT_TYPE_UI4 = 19;  // VT_UI4

// One object of the thermal-zone class, moved over as it came.
struct ThermalZoneRow {
    bool temperatureRead = false;      // the "CurrentTemperature" Get succeeded
    std::uint16_t temperatureType = 0; // its variant type
    std::uint32_t temperatureBits = 0; // its 32 bits when the type is a 4-byte integer, else 0
    bool nameIsString = false;         // the "InstanceName" Get succeeded with a string
    std::wstring name;                 // that string, else empty
};

// An open connection to "ROOT\WMI". Destroying it releases the services, then the locator.
class ThermalZoneConnection {
public:
    virtual ~ThermalZoneConnection() = default;
    // Runs the thermal-zone query and appends every object it yields; false when the query
    // itself fails, gives no enumerator, or an object does not come within two seconds.
    virtual bool query(std::vector<ThermalZoneRow>* rows) = 0;
};

class ThermalZoneQuery {
public:
    virtual ~ThermalZoneQuery() = default;
    // Joins COM, creates the locator, connects to "ROOT\WMI" with a bounded wait and sets the
    // proxy security; nothing (with everything created so far released) when a step fails.
    // The first call on a thread joins COM for that thread, later ones reuse it.
    virtual std::unique_ptr<ThermalZoneConnection> connect() = 0;
    // Ends what connect began for the calling thread, once every connection is gone.
    virtual void leaveThread() {}
};
