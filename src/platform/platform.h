#pragma once

class Registry;
class SystemInfo;
class WindowHost;

// The active implementation of every seam to Windows. The entry point installs the Win32 set
// once; tests install fakes. The pointers do not own: whoever installs keeps the objects alive.
struct Platform {
    SystemInfo* systemInfo = nullptr;
    Registry* registry = nullptr;
    WindowHost* windowHost = nullptr;
};

extern Platform platform;
