#pragma once

// The platform folder is the edge to Windows: one small interface per seam, the active set
// below, and in win32/ the implementations that only move bytes. It calls only base/.

class DeviceIo;
class FileSystem;
class LibraryLoader;
class Registry;
class ServiceManager;
class SystemInfo;
class TaskScheduler;
class ThermalCounterQuery;
class ThermalZoneQuery;
class WindowHost;

// The active implementation of every seam to Windows. The entry point installs the Win32 set
// once; tests install fakes. The pointers do not own: whoever installs keeps the objects alive.
struct Platform {
    SystemInfo* systemInfo = nullptr;
    Registry* registry = nullptr;
    WindowHost* windowHost = nullptr;
    DeviceIo* deviceIo = nullptr;
    ServiceManager* serviceManager = nullptr;
    ThermalZoneQuery* thermalZones = nullptr;
    ThermalCounterQuery* thermalCounters = nullptr;
    LibraryLoader* libraryLoader = nullptr;
    TaskScheduler* taskScheduler = nullptr;
    FileSystem* fileSystem = nullptr;
};

extern Platform platform;
