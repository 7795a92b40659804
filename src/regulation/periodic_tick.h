#pragma once

// One poll: refreshes fanList and the readings from the backend, lets the curve regulate in
// curve mode and refreshes the tray tooltip once the icon exists. The caller repaints.
void runTick();
