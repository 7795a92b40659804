#pragma once

#include "app/app_state.h"

// Brings up the hardware backend: detects the machine afresh, creates the backend that fits
// it, puts it in place of the previous one, destroys the previous one, connects the new one and
// takes one round of readings; a fan that still reads as forced is then handed back when the
// mode is System-Auto. Everything else in the state stays as it was.
void initBackend(AppState& app);
