#include "contract/thermal_counter_query_contract.h"

#include <thread>

// A machine has the counter set or not: every open, from any thread, gives the same answer,
// and one that gives nothing leaves nothing open behind it.
TEST_P(ThermalCounterQueryContract, EveryOpenAnswersAlikeOnEveryThread) {
    const auto pdh = GetParam().make();
    const bool present = pdh->open() != nullptr;
    for (int round = 0; round < 2; ++round) {
        bool opened = !present;
        std::thread worker([&] {
            auto session = pdh->open();
            opened = session != nullptr;
            std::vector<ThermalCounterRow> rows;
            if (session)
                opened = session->collect(&rows);
        });
        worker.join();
        EXPECT_EQ(opened, present) << "round " << round;
    }
}

TEST_P(ThermalCounterQueryContract, ASessionCollectsAgainAndAgainAndAppends) {
    const auto pdh = GetParam().make();
    auto a = pdh->open();
    auto b = pdh->open();
    ASSERT_EQ(a == nullptr, b == nullptr);
    if (!a)
        return; // no counter set on this machine (Wine has none)
    std::vector<ThermalCounterRow> first, second;
    ASSERT_TRUE(a->collect(&first));
    a.reset(); // closing one leaves the other working
    ASSERT_TRUE(b->collect(&second));
    EXPECT_EQ(first.size(), second.size());
    ASSERT_TRUE(b->collect(&second));
    EXPECT_EQ(second.size(), 2 * first.size());
    for (const ThermalCounterRow& row : second) {
        if (!row.valid) {
            EXPECT_EQ(row.tenthsKelvin, 0);
        }
    }
}
