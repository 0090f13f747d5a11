// The class object of the folder's class: it makes camera folders for the shell.
#pragma once
#include <windows.h>
#include <objbase.h>
#include "base/ComObject.h"

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
public:
    // Makes one new object with one reference, or null when it cannot be made.
    using CreateObjectFunction = IUnknown* (*)();

    explicit ClassFactory(CreateObjectFunction createObject);

    static const QITAB* InterfaceTable();

    // IClassFactory
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassFactory() override = default;

    CreateObjectFunction m_createObject;
};
