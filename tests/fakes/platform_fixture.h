#pragma once

#include "platform/platform.h"

#include <gtest/gtest.h>

// Every case starts without seams and leaves none behind. The seams are reset in the
// destructor, which runs after a derived fixture's members are gone: a backend a case owns is
// destroyed while the fakes it talks to still exist.
class PlatformTest : public ::testing::Test {
protected:
    PlatformTest() { platform = Platform{}; }
    ~PlatformTest() override { platform = Platform{}; }
};
