// The camera maker's library as this module binds it on first use (camera/ZqLibrary.cpp).
#pragma once
#include <windows.h>

// The library the ZQ_* calls go to, bound now if it was not yet; null when it cannot be loaded.
HMODULE CameraLibraryModule();
