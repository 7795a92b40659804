#include "hardware/wmi_thermal_source.h"

#include "fakes/fake_thermal_zone_query.h"

#include <gtest/gtest.h>

namespace {
std::vector<ThermalZoneReading> queryOnce(FakeThermalZoneQuery* wmi, bool* ok = nullptr) {
    WmiThermalSource source(wmi);
    std::vector<ThermalZoneReading> list;
    const bool result = source.queryThermalZones(&list);
    if (ok)
        *ok = result;
    return list;
}
} // namespace

TEST(WmiThermalSource, TenthsOfKelvinInsideTheOpenWindowOnly) {
    FakeThermalZoneQuery wmi;
    wmi.rows = {FakeThermalZoneQuery::row(3000, L"ACPI\\ThermalZone\\CPUZ_0"),
                FakeThermalZoneQuery::row(2732, L"low"),
                FakeThermalZoneQuery::row(2731, L"below zero"),
                FakeThermalZoneQuery::row(4031, L"high"),
                FakeThermalZoneQuery::row(4032, L"too high"),
                FakeThermalZoneQuery::row(0xFFFFFFFFu, L"negative as I4")};
    bool ok = false;
    const auto list = queryOnce(&wmi, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, L"ACPI\\ThermalZone\\CPUZ_0");
    EXPECT_NEAR(list[0].temperature, 26.85, 1e-9);
    EXPECT_EQ(list[1].name, L"low");
    EXPECT_NEAR(list[1].temperature, 0.05, 1e-9);
    EXPECT_EQ(list[2].name, L"high");
    EXPECT_NEAR(list[2].temperature, 129.95, 1e-9);
}

TEST(WmiThermalSource, OnlyFourByteIntegersCountAndUnnamedZonesGetTheDefaultName) {
    FakeThermalZoneQuery wmi;
    ThermalZoneRow text = FakeThermalZoneQuery::row(0, L"text");
    text.temperatureType = VARIANT_TYPE_BSTR;
    ThermalZoneRow unread = FakeThermalZoneQuery::row(3000, L"no value");
    unread.temperatureRead = false;
    ThermalZoneRow wide = FakeThermalZoneQuery::row(3000, L"eight bytes");
    wide.temperatureType = 21; // VT_UI8
    wmi.rows = {text,
                unread,
                wide,
                FakeThermalZoneQuery::row(3100, L"unsigned", VARIANT_TYPE_UI4),
                FakeThermalZoneQuery::unnamedRow(3200),
                FakeThermalZoneQuery::unnamedRow(3300, VARIANT_TYPE_UI4)};
    const auto list = queryOnce(&wmi);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, L"unsigned");
    EXPECT_NEAR(list[0].temperature, 36.85, 1e-9);
    EXPECT_EQ(list[1].name, L"ACPI Thermal Zone");
    EXPECT_EQ(list[2].name, L"ACPI Thermal Zone");
}

TEST(WmiThermalSource, NothingPlausibleOrAFailedQueryIsAFailure) {
    FakeThermalZoneQuery wmi;
    bool ok = true;
    EXPECT_TRUE(queryOnce(&wmi, &ok).empty());
    EXPECT_FALSE(ok);
    wmi.rows = {FakeThermalZoneQuery::row(3000, L"zone")};
    wmi.queryFails = true;
    EXPECT_TRUE(queryOnce(&wmi, &ok).empty());
    EXPECT_FALSE(ok);
    WmiThermalSource none(static_cast<ThermalZoneQuery*>(nullptr));
    std::vector<ThermalZoneReading> list;
    EXPECT_FALSE(none.queryThermalZones(&list));
}

TEST(WmiThermalSource, AFailedConnectionIsTriedAgainByTheNextQuery) {
    FakeThermalZoneQuery wmi;
    wmi.rows = {FakeThermalZoneQuery::row(3000, L"zone")};
    wmi.connectResults = {false, false};
    WmiThermalSource source(&wmi);
    EXPECT_FALSE(source.connect());
    EXPECT_FALSE(source.isReady());
    std::vector<ThermalZoneReading> list;
    EXPECT_FALSE(source.queryThermalZones(&list));
    EXPECT_EQ(wmi.connectAttempts, 2);
    EXPECT_TRUE(source.queryThermalZones(&list));
    EXPECT_TRUE(source.isReady());
    EXPECT_EQ(wmi.connectAttempts, 3);
    // The connection is kept between queries.
    list.clear();
    EXPECT_TRUE(source.queryThermalZones(&list));
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(wmi.connectAttempts, 3);
}

TEST(WmiThermalSource, ReleaseEndsTheConnectionOnceAndTheNextQueryStartsAnew) {
    FakeThermalZoneQuery wmi;
    wmi.rows = {FakeThermalZoneQuery::row(3000, L"zone")};
    {
        WmiThermalSource source(&wmi);
        ASSERT_TRUE(source.connect());
        EXPECT_TRUE(source.connect()); // already ready: no second connection
        EXPECT_EQ(wmi.liveConnections, 1);
        source.release();
        EXPECT_FALSE(source.isReady());
        EXPECT_EQ(wmi.liveConnections, 0);
        std::vector<ThermalZoneReading> list;
        EXPECT_TRUE(source.queryThermalZones(&list));
        EXPECT_EQ(wmi.liveConnections, 1);
    }
    EXPECT_EQ(wmi.liveConnections, 0);
    EXPECT_EQ(wmi.events,
              (std::vector<std::string>{"connect", "release", "connect", "query", "release"}));
}
