// Copies of camera items that an object holds as its own.
#include "items/ItemCopies.h"

// A zeroed array, then one copy per item.
bool ItemCopies::Assign(const LPCITEMIDLIST* apidl, UINT cidl)
{
    Free();
    if (cidl == 0 || !apidl) return true;
    if (cidl > static_cast<SIZE_T>(-1) / sizeof(LPCITEMIDLIST)) return false;
    const SIZE_T bytes = static_cast<SIZE_T>(cidl) * sizeof(LPCITEMIDLIST);
    m_apidl = static_cast<LPCITEMIDLIST*>(m_pMalloc->Alloc(bytes));
    if (!m_apidl) return false;
    ZeroMemory(m_apidl, bytes);
    m_cidl = cidl;
    bool copied = true;
    for (UINT i = 0; i < cidl; ++i) {
        if (!apidl[i]) continue;
        m_apidl[i] = m_pIdManager->Copy(apidl[i]);
        copied = copied && m_apidl[i];
    }
    return copied;
}

UINT ItemCopies::CountPresent() const
{
    UINT present = 0;
    for (UINT i = 0; i < m_cidl; ++i)
        if (m_apidl[i]) ++present;
    return present;
}

void ItemCopies::Forget(UINT i)
{
    if (i >= m_cidl || !m_apidl[i]) return;
    m_pIdManager->Delete(const_cast<LPITEMIDLIST>(m_apidl[i]));
    m_apidl[i] = nullptr;
}

// Each copy, then the array.
void ItemCopies::Free()
{
    if (!m_apidl) return;
    for (UINT i = 0; i < m_cidl; ++i) Forget(i);
    m_pMalloc->Free(m_apidl);
    m_apidl = nullptr;
    m_cidl = 0;
}
