#pragma once

#include "fakes/fake_platform_fixture.h"
#include "regulation/regulation_state.h"
#include "settings/settings.h"

// The two records the regulation works on, as the program starts, with the fakes installed.
class RegulationTest : public FakePlatformTest {
protected:
    Settings settings;
    RegulationState regulation;
};
