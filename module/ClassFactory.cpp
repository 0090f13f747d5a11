// The class factory of the camera folder.
#include "module/ClassFactory.h"
#include <new>
#include <shlwapi.h>

ClassFactory::ClassFactory(CreateObjectFunction createObject) : m_createObject(createObject) {}

// IUnknown and IClassFactory only.
const QITAB* ClassFactory::InterfaceTable()
{
    static const QITAB table[] = {
        QITABENT(ClassFactory, IClassFactory),
        {},
    };
    return table;
}

// Makes a new object and hands out the interface asked for; aggregation is refused.
IFACEMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;

    IUnknown* object = m_createObject();
    if (!object) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

// Locking is not provided: the module's life follows its live objects only.
IFACEMETHODIMP ClassFactory::LockServer(BOOL)
{
    return E_NOTIMPL;
}
