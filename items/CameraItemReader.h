// The camera's listing read as items, one per listed file, in the camera's order.
#pragma once
#include "camera/CameraConnection.h"
#include "items/ItemIdManager.h"

// Reads the listing over connection's link, inside the caller's unit of work, and hands each
// item to visit(pidl, listed), which owns it from then on and answers whether to go on;
// listed is the number of files the camera lists. False when an item could not be made or
// visit stopped the reading.
template <typename Visit> bool ReadCameraItems(CameraConnection* connection, ItemIdManager& ids, Visit visit)
{
    CameraFileEntry entry = {};
    for (bool first = true; connection->NextFileEntry(&entry, first); first = false) {
        LPITEMIDLIST pidl = ids.CreateItem(entry.pszName, entry.dwSize);
        if (!pidl || !visit(pidl, connection->ListedCount())) return false;
    }
    return true;
}
