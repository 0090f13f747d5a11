// One listing as the shell gets it: class object, folder, enumerator, identifier lists.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <shlobj.h>
#include <string>
#include <vector>
#include "TolvaneDll.h"
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "pelcore/PelSim.h"
#include "support/DialogCapture.h"

namespace {

struct CameraFile {
    std::string name;
    unsigned size;
};

const CameraFile kCameraFiles[] = {
    {"DSC00001.JPG", 1000},
    {"SND00002.WAV", 70000},
    {"A.TXT", 5},
};

// The exact bytes of a one-item list: cb, dwSize, the name and its zero, and after cb
// bytes the three-byte terminator (the four bytes before it are not compared).
void ExpectItemListBytes(const BYTE* list, const CameraFile& file)
{
    const size_t n = file.name.size();
    const size_t cb = n + 11;
    EXPECT_EQ(static_cast<BYTE>(cb & 0xFF), list[0]);
    EXPECT_EQ(static_cast<BYTE>(cb >> 8), list[1]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<BYTE>(file.size >> (8 * i)), list[2 + i]) << "size byte " << i;
    EXPECT_EQ(0, memcmp(list + 6, file.name.c_str(), n + 1));
    EXPECT_EQ(0, list[cb]);
    EXPECT_EQ(0, list[cb + 1]);
    EXPECT_EQ(0, list[cb + 2]);
}

// Every identifier list the enumerator hands out, in order; the caller frees them.
std::vector<LPITEMIDLIST> FetchAll(IEnumIDList* enumerator)
{
    std::vector<LPITEMIDLIST> lists;
    for (;;) {
        LPITEMIDLIST pidl = nullptr;
        ULONG fetched = 0;
        if (enumerator->Next(1, &pidl, &fetched) != S_OK || fetched != 1 || !pidl) break;
        lists.push_back(pidl);
    }
    return lists;
}

TEST(EndToEndTest, ListingThroughTheExportsGivesExactIdentifiersAndLeavesNothingAlive)
{
    TolvaneDll dll;
    ASSERT_TRUE(dll.IsLoaded()) << dll.Path();
    DialogCapture boxes;
    PelSim_Reset();
    std::vector<unsigned char> data(70000, 0xA5);
    for (const CameraFile& file : kCameraFiles) ASSERT_TRUE(PelSim_AddFile(file.name.c_str(), data.data(), file.size));

    std::vector<LPITEMIDLIST> lists;
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, dll.DllGetClassObject(CLSID_LumoraFolder, IID_PPV_ARGS(&factory)));
        ComPtr<IShellFolder> folder;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&folder)));
        factory.Reset();
        ComPtr<IEnumIDList> enumerator;
        ASSERT_EQ(S_OK, folder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &enumerator));
        ASSERT_NE(nullptr, enumerator.Get());
        lists = FetchAll(enumerator.Get());
    }
    EXPECT_EQ(0u, boxes.Count());

    ASSERT_EQ(std::size(kCameraFiles), lists.size());
    for (const CameraFile& file : kCameraFiles) {
        SCOPED_TRACE(file.name);
        auto match = std::find_if(lists.begin(), lists.end(), [&](LPITEMIDLIST pidl) {
            return strcmp(reinterpret_cast<const char*>(pidl) + 6, file.name.c_str()) == 0;
        });
        ASSERT_NE(lists.end(), match);
        ExpectItemListBytes(reinterpret_cast<const BYTE*>(*match), file);
    }

    ComPtr<IMalloc> malloc;
    ASSERT_EQ(S_OK, SHGetMalloc(&malloc));
    for (LPITEMIDLIST pidl : lists) malloc->Free(pidl);
    EXPECT_EQ(S_OK, dll.DllCanUnloadNow());
    EXPECT_FALSE(PelSim_IsLinkOpen());
    EXPECT_TRUE(dll.Unload());
}

}  // namespace
