// The class object of the folder's class: it makes camera folders for the shell.
#pragma once
#include <windows.h>
#include <objbase.h>
#include "module/Module.h"

class ClassFactory final : public IClassFactory {
public:
    // Makes one new object with one reference, or null when it cannot be made.
    using CreateObjectFunction = IUnknown* (*)();

    explicit ClassFactory(CreateObjectFunction createObject);

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IClassFactory
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassFactory() = default;
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    ModuleObjectCount m_moduleCount;
    LONG m_cRef = 1;
    CreateObjectFunction m_createObject;
};
