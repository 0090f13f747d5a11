// What the view tests share: a fresh camera per test, nothing of the module left alive at
// the end of each test, and the registry value of the column widths.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "camera/CameraConnection.h"
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "pelcore/PelSim.h"

// Every test starts on a fresh camera and must leave no object and no connection behind.
class ViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        PelSim_Reset();
        m_cObjectsAtStart = g_cObjects;
    }
    void TearDown() override
    {
        EXPECT_EQ(g_cObjects, m_cObjectsAtStart) << "an object of the module was left alive";
        EXPECT_EQ(g_pConnection, nullptr) << "the camera connection was left alive";
    }

    LONG m_cObjectsAtStart = 0;
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
