// The library's entry point and the exports that hand out its class objects.
#include <new>
#include "module/ClassFactory.h"
#include "base/ModuleState.h"
#include "folder/CameraFolder.h"

namespace {

// The camera folder, with no parent folder.
IUnknown* CreateFolderObject()
{
    return CreateCameraFolder(nullptr);
}

// One row per class the module serves.
struct ClassObjectRow {
    const CLSID* clsid;
    ClassFactory::CreateObjectFunction createObject;
};

const ClassObjectRow g_classObjects[] = {
    {&CLSID_LumoraFolder, CreateFolderObject},
};

// The row of a class id, or null when the module does not serve it.
const ClassObjectRow* FindClassObjectRow(REFCLSID rclsid)
{
    for (const ClassObjectRow& row : g_classObjects) {
        if (IsEqualCLSID(rclsid, *row.clsid)) return &row;
    }
    return nullptr;
}

}  // namespace

// Display settings (the view's column widths, "Display Settings" under
// HKEY_CURRENT_USER "Software\Lumora"): they are never read or written from DllMain.
// The registry must not be touched while the loader lock is held, so the view reads
// them on first use (a ReadDisplaySettings call from the view's creation, once per
// process) and writes them back when they change or when its window goes away,
// outside DllMain.

// Keeps the instance handle for resources and registration; nothing else runs here.
extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDll, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_hinstModule = hinstDll;
        DisableThreadLibraryCalls(hinstDll);
    }
    return TRUE;
}

// Hands out a class factory for a class the module serves.
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    const ClassObjectRow* row = FindClassObjectRow(rclsid);
    if (!row) return CLASS_E_CLASSNOTAVAILABLE;

    ClassFactory* factory = new (std::nothrow) ClassFactory(row->createObject);
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

// The module may go once no object of it is alive.
STDAPI DllCanUnloadNow()
{
    return g_cObjects == 0 ? S_OK : S_FALSE;
}
