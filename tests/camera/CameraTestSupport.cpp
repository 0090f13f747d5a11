#include "camera/CameraTestSupport.h"
#include <fstream>
#include <iterator>

std::vector<std::string> CameraCalls()
{
    std::vector<std::string> calls;
    for (const PelSimCall& call : CameraLog()) {
        const std::string function = call.function;
        std::string line = function;
        if (call.name[0]) line.append(" ").append(call.name);
        if (call.size) line.append(" ").append(std::to_string(call.size));
        if (function == "ZQ_OpenComm" || function == "ZQ_SetAcquisitionMode") line.append(" ").append(std::to_string(call.arg));
        calls.push_back(line);
    }
    return calls;
}

std::vector<unsigned char> PatternBytes(size_t size, unsigned seed)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>((i * 7 + i / 251 + seed) & 0xFF);
    return bytes;
}

bool AddCameraFile(const char* name, size_t size, unsigned seed)
{
    const std::vector<unsigned char> bytes = PatternBytes(size, seed);
    return PelSim_AddFile(name, bytes.data(), static_cast<unsigned>(bytes.size())) != 0;
}

std::string TempDirectoryPathOf(const std::string& name)
{
    char directory[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + name;
}

std::string TempCopyPathOf(const std::string& name)
{
    return TempDirectoryPathOf("Lumora\\Open\\" + name);
}

void MakeTempCopyFolder()
{
    CreateDirectoryA(TempDirectoryPathOf("Lumora").c_str(), nullptr);
    CreateDirectoryA(TempCopyPathOf("").c_str(), nullptr);
}

void RemoveTempCopyFolder(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) RemoveFile(folder + "\\" + name);
            else if (name != "." && name != "..") RemoveTempCopyFolder(folder + "\\" + name);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string Narrow(const wchar_t* text)
{
    char narrow[2 * MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
    return narrow;
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
}

std::string ReadTextFile(const std::string& path)
{
    const std::vector<unsigned char> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<unsigned char> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void RemoveFile(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

void RemoveProductNameKeys()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Qorvix");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Corvane");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\LumoraTestProduct");
}

void SetRegistryValue(const char* keyPath, const char* value, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    if (value) {
        EXPECT_EQ(RegSetValueExA(key, value, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    RegCloseKey(key);
}

void SetRegistryText(const char* keyPath, const char* value, const std::string& text)
{
    SetRegistryValue(keyPath, value, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void CameraTest::SetUp()
{
    PelSim_Reset();
    RemoveProductNameKeys();
    ASSERT_EQ(g_pConnection, nullptr);
    ASSERT_EQ(g_cConnectionUsers, 0);
    m_cObjectsBefore = g_cObjects;
}

void CameraTest::TearDown()
{
    m_pWork.reset();
    while (m_cUses > 0) {
        ReleaseCameraConnection();
        --m_cUses;
    }
    EXPECT_EQ(g_pConnection, nullptr);
    EXPECT_EQ(g_cConnectionUsers, 0);
    EXPECT_EQ(g_cObjects, 0);
    EXPECT_EQ(g_hwndConnectDialog, nullptr);
    EXPECT_FALSE(PelSim_IsLinkOpen());
    RemoveProductNameKeys();
}

CameraConnection* CameraTest::Acquire()
{
    CameraConnection* connection = AcquireCameraConnection();
    ++m_cUses;
    return connection;
}

CameraConnection* CameraTest::AcquireOwned()
{
    CameraConnection* connection = Acquire();
    if (!m_pWork) m_pWork = std::make_unique<CameraWork>(connection, m_view.Window());
    return connection;
}

void CameraTest::ConnectAndClearLog(CameraConnection* connection)
{
    ASSERT_TRUE(connection->Connect());
    PelSim_ClearLog();
}
