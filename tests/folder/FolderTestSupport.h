// What the folder tests share: a fresh camera per test, the module count checked at the
// end of each test, hand-made identifier bytes and memory that faults on a read past it.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>
#include "folder/CameraFolder.h"
#include "items/ItemIdManager.h"
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "pelcore/PelSim.h"

// Every test starts on a fresh camera and must leave no object of the module alive.
class FolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        PelSim_Reset();
        m_pManager = ItemIdManager::Create();
        ASSERT_NE(m_pManager, nullptr);
        m_cObjectsAtStart = g_cObjects;  // the test's own manager included
    }
    void TearDown() override
    {
        EXPECT_EQ(g_cObjects, m_cObjectsAtStart) << "an object of the module was left alive";
        m_pManager.reset();
    }

    // A one-item list made by the manager under test; freed by the caller with Free.
    LPITEMIDLIST Item(const char* name, DWORD size) { return m_pManager->CreateItem(name, size); }
    void Free(LPITEMIDLIST list) { m_pManager->Delete(list); }

    LONG m_cObjectsAtStart = 0;
    std::unique_ptr<ItemIdManager> m_pManager;
};

// A folder made as the class factory makes it, released before the count is checked.
class FolderObjectTest : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        m_pFolder = Adopt(CreateCameraFolder(nullptr));
        ASSERT_NE(m_pFolder, nullptr);
    }
    void TearDown() override
    {
        m_pFolder.Reset();
        FolderTest::TearDown();
    }

    ComPtr<IShellFolder> m_pFolder;
};

// Identifier bytes written by hand: cb, size, then the name bytes as given (no zero added).
inline std::vector<BYTE> RawItem(USHORT cb, DWORD size, const std::string& nameBytes)
{
    std::vector<BYTE> bytes(6 + nameBytes.size());
    memcpy(bytes.data(), &cb, 2);
    memcpy(bytes.data() + 2, &size, 4);
    memcpy(bytes.data() + 6, nameBytes.data(), nameBytes.size());
    return bytes;
}

// A list of several items, each "cb size name zero reserved", then a 3-byte terminator.
inline std::vector<BYTE> RawList(const std::vector<std::pair<std::string, DWORD>>& items)
{
    std::vector<BYTE> list;
    for (const auto& [name, size] : items) {
        std::vector<BYTE> item = RawItem(static_cast<USHORT>(name.size() + 11), size, name + std::string(5, '\0'));
        list.insert(list.end(), item.begin(), item.end());
    }
    list.insert(list.end(), 3, 0);
    return list;
}

// Bytes that end exactly where an inaccessible page starts: a read past them faults.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::vector<BYTE>& bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        m_cbPage = info.dwPageSize;
        m_pBase = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * m_cbPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD previous = 0;
        VirtualProtect(m_pBase + m_cbPage, m_cbPage, PAGE_NOACCESS, &previous);
        m_pBytes = m_pBase + m_cbPage - bytes.size();
        memcpy(m_pBytes, bytes.data(), bytes.size());
    }
    ~GuardedBytes() { VirtualFree(m_pBase, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    LPCITEMIDLIST List() const { return reinterpret_cast<LPCITEMIDLIST>(m_pBytes); }
    const BYTE* Bytes() const { return m_pBytes; }

private:
    BYTE* m_pBase = nullptr;
    BYTE* m_pBytes = nullptr;
    DWORD m_cbPage = 0;
};

inline LPCITEMIDLIST AsList(const std::vector<BYTE>& bytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}
