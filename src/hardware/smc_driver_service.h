#pragma once

#include <cstdint>
#include <string>

// The driver tab's notes: TextId::DriverRefused when the program's folder is not one an
// elevated installer owns, so the driver file beside the program is not trusted;
// TextId::DriverUnprotected when Windows says someone besides the administrators may change
// the folder or the driver file that is being installed.

// The description the program gives the driver service it creates. The uninstaller removes a
// service "applesmc" only when it carries exactly this text, so a service of the same name that
// another tool set up stays. It lives in the service's own configuration: whoever deletes the
// service deletes the mark with it, and a service created later under that name is unmarked.
inline constexpr wchar_t DRIVER_SERVICE_MARK[] =
    L"Eingerichtet von Ventrasol; wird mit Ventrasol deinstalliert.";

// Makes sure the kernel driver service "applesmc" exists and is started: when missing, and only
// when the program runs from inside Program Files, copies applesmc.sys from the program's
// folder into the system's driver folder and registers it as a demand-start kernel driver
// marked as the program's own.
// Returns the note for the driver tab when it refused, found the source unprotected or Windows
// did not start the driver (empty otherwise). Every other failure ends quietly; the SMC backend
// finds out when it opens the device. Uses platform.serviceManager and platform.systemInfo. What
// the driver tab says when Windows does not start the driver service, by Windows' error code: what
// happened in words and what to do. Empty when the service started or already runs.
std::wstring driverStartNote(std::uint32_t error);

std::wstring installSmcDriverService();
