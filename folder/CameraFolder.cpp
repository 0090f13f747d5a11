// Placeholder until the folder lands.
#include "folder/CameraFolder.h"

IShellFolder* CreateCameraFolder(IShellFolder*) { return nullptr; }
