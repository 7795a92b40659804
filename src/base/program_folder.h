#pragma once

#include <string>

// Where a program lies, as the rules that decide what an elevated program may trust see it.

// The folder of a program's full path (cut at its last backslash), or empty when the path has
// none or does not fit a MAX_PATH buffer: a cut path would name some other file.
std::wstring programFolder(const std::wstring& modulePath);

// Whether the folder (no trailing backslash) lies inside the Program Files folder, compared
// without regard to case; false when either is unknown. Only an elevated installer can write
// there, so nothing inside can be replaced by a process of the user.
bool insideProgramFiles(const std::wstring& folder, const std::wstring& programFiles);
