#pragma once

// Makes sure the kernel driver service "applesmc" exists and is started: when missing, copies
// applesmc.sys from the program's folder into the system's driver folder and registers it as a
// demand-start kernel driver. Every failure ends quietly; the SMC backend finds out when it
// opens the device. Uses platform.serviceManager and platform.systemInfo.
void installSmcDriverService();
