#pragma once

// Narrows what the elevated process can be made to run before anything else happens in it:
// libraries only from System32 (neither the program's folder, the current directory nor PATH,
// all of which an unelevated process may be able to write), no images from remote or
// low-integrity sources where this Windows knows that policy, and the process ends on a
// corrupted heap instead of running on.
void hardenProcess();
