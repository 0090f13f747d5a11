// The built tolvane.dll, loaded from the test program's folder and reached only through
// its four exports, as the shell and a registration tool reach it.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <string>

class TolvaneDll {
public:
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using SimpleFn = HRESULT(STDAPICALLTYPE*)();

    TolvaneDll();
    ~TolvaneDll();
    TolvaneDll(const TolvaneDll&) = delete;
    TolvaneDll& operator=(const TolvaneDll&) = delete;

    bool IsLoaded() const;
    // Frees the library now; true when the process no longer holds it.
    bool Unload();
    const std::string& Path() const { return m_path; }

    GetClassObjectFn DllGetClassObject = nullptr;
    SimpleFn DllCanUnloadNow = nullptr;
    SimpleFn DllRegisterServer = nullptr;
    SimpleFn DllUnregisterServer = nullptr;

private:
    std::string m_path;
    HMODULE m_hModule = nullptr;
};

// Full path of a file next to the test program.
std::string PathNextToProgram(const char* fileName);
