#pragma once

#include "app/app_state.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

// Every case starts from the start-up state and leaves no backend or seam behind.
class AppStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppState();
        platform = Platform{};
    }
    void TearDown() override {
        resetAppState();
        platform = Platform{};
    }
};
