// The list's sort callback: the folder's CompareIDs, or the kept type names for the type column.
#include "view/ItemSort.h"

namespace {
// CompareIDs's answer read as the list wants it: its low 16 bits as a signed number.
int CompareThroughFolder(const SortContext& context, LPCITEMIDLIST first, LPCITEMIDLIST second)
{
    const HRESULT hr = context.pFolder->CompareIDs(static_cast<LPARAM>(context.iColumn), first, second);
    return static_cast<short>(LOWORD(static_cast<DWORD>(hr)));
}
}  // namespace

int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    const auto* context = reinterpret_cast<const SortContext*>(lParamSort);
    if (!context || !context->pFolder) return 0;
    const auto first = reinterpret_cast<LPCITEMIDLIST>(lParam1);
    const auto second = reinterpret_cast<LPCITEMIDLIST>(lParam2);
    const bool fromCache = context->iColumn == kColumnType && context->pColumns;
    const int order = fromCache ? context->pColumns->Compare(kColumnType, first, second)
                                : CompareThroughFolder(*context, first, second);
    return order * context->iDirection;
}
