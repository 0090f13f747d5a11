#include "view/ItemSort.h"
#include "folder/CameraFolder.h"
#include "module/TextHelpers.h"

namespace {

// CompareIDs's answer read as the list wants it: its low 16 bits as a signed number.
int CompareThroughFolder(const SortContext& context, LPCITEMIDLIST first, LPCITEMIDLIST second)
{
    const HRESULT hr = context.pFolder->CompareIDs(static_cast<LPARAM>(context.iColumn), first, second);
    return static_cast<short>(LOWORD(static_cast<DWORD>(hr)));
}

// The type column from the kept names, compared as CompareIDs compares them.
int CompareTypeNames(ItemTypeCache* types, LPCITEMIDLIST first, LPCITEMIDLIST second)
{
    char buffer1[MAX_PATH];
    char buffer2[MAX_PATH];
    return CompareTextBytes(types->TypeName(first, buffer1), types->TypeName(second, buffer2));
}

}  // namespace

int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    const auto* context = reinterpret_cast<const SortContext*>(lParamSort);
    if (!context || !context->pFolder) return 0;
    const auto first = reinterpret_cast<LPCITEMIDLIST>(lParam1);
    const auto second = reinterpret_cast<LPCITEMIDLIST>(lParam2);
    const bool fromCache = context->iColumn == kColumnType && context->pTypes;
    const int order = fromCache ? CompareTypeNames(context->pTypes, first, second)
                                : CompareThroughFolder(*context, first, second);
    return order * context->iDirection;
}
