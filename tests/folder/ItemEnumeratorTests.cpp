// The enumerator behind the folder's EnumObjects: one reading of the camera, the calls it
// makes on the camera, and the Next/Skip/Reset rules over the snapshot.
#include "FolderTestSupport.h"
#include "folder/CameraFolder.h"
#include "camera/ZqApi.h"
#include "base/Raii.h"
#include "support/CameraLog.h"
#include "support/DialogCapture.h"

namespace {

struct LoggedCall {
    std::string function;
    std::string name;
    int arg;
    bool operator==(const LoggedCall&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LoggedCall& call)
{
    return out << call.function << "(" << call.name << "," << call.arg << ")";
}

std::vector<LoggedCall> CameraCalls()
{
    std::vector<LoggedCall> calls;
    for (const PelSimCall& call : CameraLog()) calls.push_back({call.function, call.name, call.arg});
    return calls;
}

class ItemEnumeratorTest : public FolderObjectTest {
protected:
    void AddFiles(std::initializer_list<const char*> names)
    {
        DWORD size = 100;
        for (const char* name : names) {
            std::vector<unsigned char> data(size, 'x');
            ASSERT_TRUE(PelSim_AddFile(name, data.data(), size));
            size += 100;
        }
        PelSim_ClearLog();
    }

    ComPtr<IEnumIDList> EnumerateFiles()
    {
        ComPtr<IEnumIDList> enumerator;
        EXPECT_EQ(m_pFolder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &enumerator), S_OK);
        return enumerator;
    }

    // Names of up to celt items that Next hands out, freeing them.
    std::vector<std::string> NextNames(IEnumIDList* enumerator, ULONG celt, HRESULT expected)
    {
        std::vector<LPITEMIDLIST> items(celt + 1, nullptr);
        ULONG fetched = 1234;
        EXPECT_EQ(enumerator->Next(celt, items.data(), &fetched), expected);
        EXPECT_LE(fetched, celt);
        std::vector<std::string> names;
        for (ULONG i = 0; i < fetched && i < celt; ++i) names.push_back(TakeName(items[i]));
        EXPECT_EQ(items[celt], nullptr) << "written past the array";
        return names;
    }

    std::string TakeName(LPITEMIDLIST item)
    {
        char name[16] = "";
        m_pManager->GetItemName(item, name, sizeof(name));
        CoTaskMemFree(item);  // the shell frees what it receives with its task allocator
        return name;
    }

    DialogCapture m_boxes;
};

using Names = std::vector<std::string>;

TEST_F(ItemEnumeratorTest, ReadsTheCameraOnceInThisOrder)
{
    AddFiles({"DSC1.JPG", "MEMO.WAV", "NOTE.TXT"});
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    const std::vector<LoggedCall> expected = {
        {"ZQ_OpenComm", "", 0},
        {"ZQ_StopAcquisition", "", 0},
        {"ZQ_SetAcquisitionMode", "", 0},
        {"ZQ_GetNumFiles", "", 0},
        {"ZQ_GetFiles", "", 0},
        {"ZQ_GetFileSize", "DSC1.JPG", 0},
        {"ZQ_GetFileSize", "MEMO.WAV", 0},
        {"ZQ_GetFileSize", "NOTE.TXT", 0},
        {"ZQ_CloseComm", "", 0},
    };
    EXPECT_EQ(CameraCalls(), expected);
    EXPECT_FALSE(PelSim_IsLinkOpen());

    PelSim_ClearLog();
    EXPECT_EQ(NextNames(enumerator.Get(), 3, S_OK), (Names{"DSC1.JPG", "MEMO.WAV", "NOTE.TXT"}));
    enumerator->Reset();
    EXPECT_EQ(NextNames(enumerator.Get(), 3, S_OK).size(), 3u);
    EXPECT_EQ(PelSim_LogCount(), 0) << "Next and Reset replay the snapshot";
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ItemEnumeratorTest, ItemsCarryTheListedSizes)
{
    AddFiles({"A.JPG", "B.JPG"});
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    LPITEMIDLIST items[2] = {};
    ULONG fetched = 0;
    ASSERT_EQ(enumerator->Next(2, items, &fetched), S_OK);
    EXPECT_EQ(m_pManager->GetItemFileSize(items[0]), 100u);
    EXPECT_EQ(m_pManager->GetItemFileSize(items[1]), 200u);
    EXPECT_EQ(items[0]->mkid.cb, 16);
    CoTaskMemFree(items[0]);
    CoTaskMemFree(items[1]);
}

TEST_F(ItemEnumeratorTest, NextSkipAndResetWalkTheSnapshot)
{
    AddFiles({"ONE.JPG", "TWO.JPG", "THREE.JPG"});
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    EXPECT_EQ(NextNames(enumerator.Get(), 2, S_OK), (Names{"ONE.JPG", "TWO.JPG"}));
    EXPECT_EQ(NextNames(enumerator.Get(), 2, S_FALSE), (Names{"THREE.JPG"}));
    EXPECT_EQ(NextNames(enumerator.Get(), 1, S_FALSE), Names{});
    EXPECT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(NextNames(enumerator.Get(), 3, S_OK), (Names{"ONE.JPG", "TWO.JPG", "THREE.JPG"}));

    enumerator->Reset();
    EXPECT_EQ(enumerator->Skip(0), S_OK);
    EXPECT_EQ(enumerator->Skip(3), S_OK);
    EXPECT_EQ(NextNames(enumerator.Get(), 1, S_FALSE), Names{});
    enumerator->Reset();
    EXPECT_EQ(enumerator->Skip(4), S_FALSE);
    enumerator->Reset();
    EXPECT_EQ(enumerator->Skip(1), S_OK);
    EXPECT_EQ(NextNames(enumerator.Get(), 1, S_OK), (Names{"TWO.JPG"}));
    EXPECT_EQ(NextNames(enumerator.Get(), 0, S_OK), Names{});
}

TEST_F(ItemEnumeratorTest, NextNeedsACountForMoreThanOne)
{
    AddFiles({"ONE.JPG", "TWO.JPG"});
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    LPITEMIDLIST items[2] = {};
    EXPECT_EQ(enumerator->Next(2, items, nullptr), E_INVALIDARG);
    EXPECT_EQ(items[0], nullptr);
    EXPECT_EQ(enumerator->Next(1, items, nullptr), S_OK);
    EXPECT_EQ(TakeName(items[0]), "ONE.JPG") << "the refused call did not move on";
}

TEST_F(ItemEnumeratorTest, ItemsOutliveTheEnumerator)
{
    AddFiles({"KEEP.JPG"});
    LPITEMIDLIST item = nullptr;
    {
        ComPtr<IEnumIDList> enumerator = EnumerateFiles();
        ASSERT_EQ(enumerator->Next(1, &item, nullptr), S_OK);
    }
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 2) << "only the folder and its manager are left";
    EXPECT_EQ(TakeName(item), "KEEP.JPG");
}

TEST_F(ItemEnumeratorTest, CountsItselfItsManagerAndTheConnection)
{
    AddFiles({"A.JPG"});
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 2 + 3);
    enumerator.Reset();
    EXPECT_EQ(g_cObjects, m_cObjectsAtStart + 2);
}

TEST_F(ItemEnumeratorTest, InterfacesAndClone)
{
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(enumerator->QueryInterface(IID_PPV_ARGS(&unknown)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(enumerator.Get()));
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(enumerator->QueryInterface(IID_IShellFolder, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    IEnumIDList* clone = reinterpret_cast<IEnumIDList*>(1);
    EXPECT_EQ(enumerator->Clone(&clone), E_NOTIMPL);
    EXPECT_EQ(clone, reinterpret_cast<IEnumIDList*>(1));
}

TEST_F(ItemEnumeratorTest, EmptyCameraGivesNothingAndSaysNothing)
{
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    EXPECT_EQ(NextNames(enumerator.Get(), 1, S_FALSE), Names{});
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

TEST_F(ItemEnumeratorTest, UnreachableCameraGivesAnEmptyFolderAfterItsMessage)
{
    AddFiles({"A.JPG"});
    PelSim_SetOpenResult(0, ZQ_STATUS_COMM_ERROR, 0);
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    ASSERT_NE(enumerator, nullptr);
    EXPECT_EQ(NextNames(enumerator.Get(), 1, S_FALSE), Names{});
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

TEST_F(ItemEnumeratorTest, ListingCutShortKeepsWhatWasRead)
{
    AddFiles({"ONE.JPG", "TWO.JPG", "THREE.JPG"});
    PelSim_FailCall("ZQ_GetFileSize", 2, ZQ_STATUS_COMM_ERROR, 0);
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    EXPECT_EQ(NextNames(enumerator.Get(), 3, S_FALSE), (Names{"ONE.JPG"}));
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

TEST_F(ItemEnumeratorTest, FileThatReadsEmptyEndsTheListing)
{
    AddFiles({"ONE.JPG", "GONE.JPG", "THREE.JPG"});
    PelSim_SetFileListing("GONE.JPG", ' ', 1);
    PelSim_ClearLog();
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    EXPECT_EQ(NextNames(enumerator.Get(), 3, S_FALSE), (Names{"ONE.JPG"}));
    EXPECT_EQ(m_boxes.Count(), 1u);
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

TEST_F(ItemEnumeratorTest, LinkOfTheSecondKindStaysOpenWhileInUse)
{
    AddFiles({"A.JPG"});
    PelSim_SetOpenResult(0, ZQ_STATUS_NOT_LOCATED, 0);
    ComPtr<IEnumIDList> enumerator = EnumerateFiles();
    EXPECT_EQ(NextNames(enumerator.Get(), 1, S_OK), (Names{"A.JPG"}));
    EXPECT_TRUE(PelSim_IsLinkOpen());
    for (const LoggedCall& call : CameraCalls()) EXPECT_NE(call.function, "ZQ_CloseComm");
    enumerator.Reset();  // the last use of the connection closes it
    EXPECT_FALSE(PelSim_IsLinkOpen());
}

}  // namespace
