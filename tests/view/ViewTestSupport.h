// What the view tests share: a fresh camera per test, nothing of the module left alive at
// the end of each test, and the registry value of the column widths.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <string>
#include <vector>
#include "camera/CameraConnection.h"
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "pelcore/PelSim.h"

// The threads of this process that run code of this program (the module's own workers, the
// main thread), by their start address; threads the platform starts for itself do not count.
inline int ProgramThreadCount()
{
    using QueryThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryThread>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    const auto* image = reinterpret_cast<const BYTE*>(GetModuleHandleA(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    const BYTE* imageEnd = image + headers->OptionalHeader.SizeOfImage;
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId()) continue;
        KernelHandle thread(OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
        const BYTE* start = nullptr;
        const int kStartAddress = 9;  // ThreadQuerySetWin32StartAddress
        if (thread && query && query(thread.Get(), kStartAddress, &start, sizeof(start), nullptr) == 0 && start >= image && start < imageEnd)
            ++count;
    }
    return count;
}

// Every test starts on a fresh camera and must leave no object, no connection and no
// worker thread behind.
class ViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        PelSim_Reset();
        m_cObjectsAtStart = g_cObjects;
        {
            SCOPED_TRACE("the test framework watches this thread from its first trace on");
        }
        m_cThreadsAtStart = ProgramThreadCount();
    }
    void TearDown() override
    {
        EXPECT_EQ(g_cObjects, m_cObjectsAtStart) << "an object of the module was left alive";
        EXPECT_EQ(g_pConnection, nullptr) << "the camera connection was left alive";
        // The framework's watcher of a thread that ended goes a moment after it.
        for (int wait = 0; wait < 100 && ProgramThreadCount() > m_cThreadsAtStart; ++wait) Sleep(10);
        EXPECT_LE(ProgramThreadCount(), m_cThreadsAtStart) << "a worker thread was left running";
    }

    LONG m_cObjectsAtStart = 0;
    int m_cThreadsAtStart = 0;
};

// The "Display Settings" value under HKEY_CURRENT_USER "Software\Lumora".
inline std::vector<BYTE> ReadStoredDisplaySettings(DWORD* type = nullptr)
{
    BYTE data[64] = {};
    DWORD cb = sizeof(data);
    DWORD valueType = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Lumora", "Display Settings", RRF_RT_ANY, &valueType, data, &cb) !=
        ERROR_SUCCESS) {
        return {};
    }
    if (type) *type = valueType;
    return {data, data + cb};
}

inline void WriteStoredDisplaySettings(const std::vector<BYTE>& bytes, DWORD type = REG_BINARY)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Lumora", "Display Settings", type, bytes.data(),
                    static_cast<DWORD>(bytes.size()));
}

inline void DeleteStoredDisplaySettings()
{
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Lumora", "Display Settings");
}
