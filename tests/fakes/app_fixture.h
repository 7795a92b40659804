#pragma once

#include "app/app_state.h"
#include "base/texts.h"
#include "fakes/fake_platform_fixture.h"
#include "fakes/platform_fixture.h"
#include "ui/window_model.h"

// The program's state as it starts, without seams (AppTest) or with the fakes (FakeAppTest).
template <typename Seams> class WithAppState : public Seams {
protected:
    // A fixture's own fakes are destroyed before this base: the backend goes first.
    void TearDown() override {
        app.regulation.controller.reset();
        setTextLanguage(Language::German); // a test that switched the language leaves none
        Seams::TearDown();
    }

    WindowModel model() const {
        return {app.settings, app.regulation, app.identity, app.inventory};
    }

    AppState app;
};

using AppTest = WithAppState<PlatformTest>;
using FakeAppTest = WithAppState<FakePlatformTest>;
