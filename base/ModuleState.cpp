// The module-wide state that the DLL, the host program and the tests share.
#include "base/ModuleState.h"

HINSTANCE g_hinstModule = nullptr;
LONG volatile g_cObjects = 0;

const CLSID CLSID_LumoraFolder = {0x6a1f3c52, 0x8b4e, 0x4d7a, {0x9c, 0x21, 0x5e, 0x0b, 0x7d, 0x3a, 0x4f, 0x18}};
