#pragma once

#include "settings/settings.h"

// The second process's half of the hand-over (app/mode_handover.h): finds the running
// program's window, sends the mode and waits for the answer, asking again while that program
// is still starting. Returns the exit code: EXIT_DONE when the mode took, else
// EXIT_MODE_FAILED.
int handModeOver(ControlMode mode);
