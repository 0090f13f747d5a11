#include "TolvaneDll.h"

std::string PathNextToProgram(const char* fileName)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string result(path);
    result.erase(result.find_last_of('\\') + 1);
    return result + fileName;
}

namespace {

template <typename Fn> Fn Export(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

TolvaneDll::TolvaneDll() : m_path(PathNextToProgram("tolvane.dll")), m_hModule(LoadLibraryA(m_path.c_str()))
{
    DllGetClassObject = Export<GetClassObjectFn>(m_hModule, "DllGetClassObject");
    DllCanUnloadNow = Export<SimpleFn>(m_hModule, "DllCanUnloadNow");
    DllRegisterServer = Export<SimpleFn>(m_hModule, "DllRegisterServer");
    DllUnregisterServer = Export<SimpleFn>(m_hModule, "DllUnregisterServer");
}

TolvaneDll::~TolvaneDll()
{
    Unload();
}

bool TolvaneDll::IsLoaded() const
{
    return m_hModule && DllGetClassObject && DllCanUnloadNow && DllRegisterServer && DllUnregisterServer;
}

bool TolvaneDll::Unload()
{
    if (m_hModule) FreeLibrary(m_hModule);
    m_hModule = nullptr;
    DllGetClassObject = nullptr;
    DllCanUnloadNow = nullptr;
    DllRegisterServer = nullptr;
    DllUnregisterServer = nullptr;
    return GetModuleHandleA("tolvane.dll") == nullptr;
}
