// Module-wide state: the instance handle, the count of live objects, the folder's class.
#pragma once
#include <windows.h>

extern HINSTANCE g_hinstModule;  // every resource is loaded from it
extern LONG volatile g_cObjects; // live objects (changed interlocked); the module may unload at 0

// {6A1F3C52-8B4E-4D7A-9C21-5E0B7D3A4F18}
extern const CLSID CLSID_LumoraFolder;

// Counts one live object of the module for as long as it exists; objects hold one as a member.
class ModuleObjectCount {
public:
    ModuleObjectCount() { InterlockedIncrement(&g_cObjects); }
    ~ModuleObjectCount() { InterlockedDecrement(&g_cObjects); }
    ModuleObjectCount(const ModuleObjectCount&) = delete;
    ModuleObjectCount& operator=(const ModuleObjectCount&) = delete;
};
