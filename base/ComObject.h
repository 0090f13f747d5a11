// The one base of the module's COM objects: an interlocked reference count that starts
// at 1, one live module object for the object's whole life, and QueryInterface from the
// derived class's table of interfaces.
//
//   class ItemEnumerator final : public ComObject<ItemEnumerator, IEnumIDList> {
//   public:
//       static const QITAB* InterfaceTable();   // QITABENT rows, ended by an empty row
//       ...
//   };
//
// The first row of the table also answers IID_IUnknown.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>
#include "base/ModuleState.h"

template <typename Derived, typename... Interfaces> class ComObject : public Interfaces... {
public:
    // The interfaces of the derived class's table, each with one more reference.
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        return QISearch(static_cast<Derived*>(this), Derived::InterfaceTable(), riid, ppv);
    }

    // One more reference; returns the new count.
    IFACEMETHODIMP_(ULONG) AddRef() override
    {
        return static_cast<ULONG>(InterlockedIncrement(&m_cRef));
    }

    // One reference less; the last destroys the object. Returns the new count.
    IFACEMETHODIMP_(ULONG) Release() override
    {
        const LONG cRef = InterlockedDecrement(&m_cRef);
        if (cRef == 0) delete this;
        return static_cast<ULONG>(cRef);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    ModuleObjectCount m_moduleCount;
    LONG volatile m_cRef = 1;
};
