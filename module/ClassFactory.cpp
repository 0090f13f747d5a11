#include "module/ClassFactory.h"
#include <new>
#include <shlwapi.h>

ClassFactory::ClassFactory(CreateObjectFunction createObject) : m_createObject(createObject) {}

// Answers IUnknown and IClassFactory only.
IFACEMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** ppv)
{
    static const QITAB interfaces[] = {
        QITABENT(ClassFactory, IClassFactory),
        {nullptr, 0},
    };
    return QISearch(this, interfaces, riid, ppv);
}

// Adds one reference.
IFACEMETHODIMP_(ULONG) ClassFactory::AddRef()
{
    return ++m_cRef;
}

// Takes one reference away; the last one destroys the factory.
IFACEMETHODIMP_(ULONG) ClassFactory::Release()
{
    const LONG cRef = --m_cRef;
    if (cRef == 0) delete this;
    return cRef;
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
