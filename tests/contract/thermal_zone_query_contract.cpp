#include "contract/thermal_zone_query_contract.h"

#include <thread>

TEST_P(ThermalZoneQueryContract, AConnectionQueriesAgainAndAgain) {
    const auto wmi = GetParam().make();
    auto connection = wmi->connect();
    ASSERT_NE(connection, nullptr);
    std::vector<ThermalZoneRow> first, second;
    ASSERT_TRUE(connection->query(&first));
    ASSERT_TRUE(connection->query(&second));
    EXPECT_EQ(first.size(), second.size());
    // Appends, never replaces.
    ASSERT_TRUE(connection->query(&second));
    EXPECT_EQ(second.size(), 2 * first.size());
}

TEST_P(ThermalZoneQueryContract, RowsCarryOnlyWhatTheirTypesHold) {
    const auto wmi = GetParam().make();
    auto connection = wmi->connect();
    ASSERT_NE(connection, nullptr);
    std::vector<ThermalZoneRow> rows;
    ASSERT_TRUE(connection->query(&rows));
    for (const auto& r : rows) {
        const bool fourByteInteger =
            r.temperatureType == VARIANT_TYPE_I4 || r.temperatureType == VARIANT_TYPE_UI4;
        if (!r.temperatureRead || !fourByteInteger) {
            EXPECT_EQ(r.temperatureBits, 0u);
        }
        if (!r.temperatureRead) {
            EXPECT_EQ(r.temperatureType, VARIANT_TYPE_EMPTY);
        }
        if (!r.nameIsString) {
            EXPECT_TRUE(r.name.empty());
        }
    }
}

TEST_P(ThermalZoneQueryContract, ConnectionsAreIndependent) {
    const auto wmi = GetParam().make();
    auto a = wmi->connect();
    auto b = wmi->connect();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    a.reset(); // releasing one leaves the other working
    std::vector<ThermalZoneRow> rows;
    EXPECT_TRUE(b->query(&rows));
    b.reset();
    auto c = wmi->connect();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->query(&rows));
}

TEST_P(ThermalZoneQueryContract, EachQueryingThreadLeavesWhenItsConnectionsAreGone) {
    const auto wmi = GetParam().make();
    for (int round = 0; round < 2; ++round) {
        bool queried = false;
        std::thread worker([&] {
            auto connection = wmi->connect();
            std::vector<ThermalZoneRow> rows;
            queried = connection && connection->query(&rows);
            connection.reset();
            wmi->leaveThread();
            wmi->leaveThread(); // a second leave finds nothing to end
        });
        worker.join();
        EXPECT_TRUE(queried) << "round " << round;
    }
}
