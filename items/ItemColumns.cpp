// The texts of a camera item's columns and the order of two items by one of them.
#include "items/ItemColumns.h"
#include "base/TextHelpers.h"

// The name, the size text or the type name.
void ItemColumns::GetText(LPCITEMIDLIST item, int column, char* buffer, int capacity) const
{
    if (!buffer || capacity <= 0) return;
    buffer[0] = '\0';
    char typeName[MAX_PATH];
    switch (column) {
    case kColumnName: m_pIdManager->GetItemName(item, buffer, capacity); break;
    case kColumnSize: m_pIdManager->GetItemSizeText(item, buffer, capacity); break;
    case kColumnType: CopyStringN(buffer, TypeName(item, typeName), capacity); break;
    }
}

// Sizes by number; names and type names by their bytes.
int ItemColumns::Compare(int column, LPCITEMIDLIST item1, LPCITEMIDLIST item2) const
{
    if (column == kColumnSize) {
        const DWORD size1 = m_pIdManager->GetItemFileSize(item1);
        const DWORD size2 = m_pIdManager->GetItemFileSize(item2);
        return size1 < size2 ? -1 : (size1 > size2 ? 1 : 0);
    }
    char text1[MAX_PATH];
    char text2[MAX_PATH];
    if (column != kColumnType) {
        m_pIdManager->GetItemName(item1, text1, MAX_PATH);
        m_pIdManager->GetItemName(item2, text2, MAX_PATH);
        return CompareTextBytes(text1, text2);
    }
    return CompareTextBytes(TypeName(item1, text1), TypeName(item2, text2));
}

// The kept type name, or the manager's answer in buffer.
const char* ItemColumns::TypeName(LPCITEMIDLIST item, char* buffer) const
{
    if (m_pTypes) return m_pTypes->TypeName(item, buffer);
    m_pIdManager->GetItemTypeName(item, buffer, MAX_PATH);
    return buffer;
}
