// Demo mode's test pieces.
#include "DemoFolder.h"
#include <fstream>
#include <iterator>

namespace {
const char c_szDemoKey[] = "Software\\Lumora Camera Simulator";
}  // namespace

std::vector<unsigned char> ReadPcFile(const std::string& path, bool* found)
{
    std::ifstream file(path, std::ios::binary);
    if (found) *found = file.is_open();
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WritePcFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool PcFileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::set<std::string> ListedNames()
{
    unsigned count = 0;
    EXPECT_EQ(ZQ_GetNumFiles(&count), ZQ_STATUS_OK);
    std::vector<char> listing(count * ZQ_LIST_RECORD + 1);
    EXPECT_EQ(ZQ_GetFiles(listing.data(), static_cast<unsigned>(listing.size())), ZQ_STATUS_OK);
    std::set<std::string> names;
    for (unsigned i = 0; i < count; ++i) {
        const char* record = listing.data() + i * ZQ_LIST_RECORD;
        names.insert(std::string(record, strnlen(record, ZQ_NAME_MAX)));
        EXPECT_EQ(record[ZQ_NAME_MAX], ' ');
    }
    EXPECT_EQ(listing.back(), '\0');
    return names;
}

std::set<std::string> FolderFiles(const std::string& folder)
{
    std::set<std::string> files;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.insert(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return files;
}

void DemoFolderTest::SetUp()
{
    PelcoreTest::SetUp();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    m_parent = std::string(temp) + "pelcore-demo-" + std::to_string(GetCurrentProcessId());
    m_folder = m_parent + "\\camera";
    ASSERT_TRUE(CreateDirectoryA(m_parent.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(m_folder.c_str(), nullptr));
    SetStorageFolder(m_folder);
}

void DemoFolderTest::TearDown()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, c_szDemoKey);
    PelcoreTest::TearDown();
    RemoveTree(m_parent);
}

void DemoFolderTest::SetStorageFolder(const std::string& folder)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, c_szDemoKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, "StorageFolder", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()), static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(key);
}

void DemoFolderTest::RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

void DemoFolderTest::OpenDemoLink()
{
    PelSim_UseDemoFolderFromRegistry();
    ASSERT_EQ(ZQ_OpenComm(ZqLinkUsb), ZQ_STATUS_OK);
}
