// Demo mode's test pieces: a temporary PC folder named in the registry as the camera's
// storage, and PC files read and written around it.
#pragma once
#include "PelcoreTest.h"
#include <set>

// Reads a whole PC file; found = false when it cannot be opened.
std::vector<unsigned char> ReadPcFile(const std::string& path, bool* found = nullptr);
void WritePcFile(const std::string& path, const std::vector<unsigned char>& bytes);
bool PcFileExists(const std::string& path);
// The names of the camera's listing, as a set (the folder decides the order).
std::set<std::string> ListedNames();
// Every file of a PC folder, listed or not.
std::set<std::string> FolderFiles(const std::string& folder);

// A temporary folder named as the storage folder in the registry; both gone at the end.
class DemoFolderTest : public PelcoreTest {
protected:
    void SetUp() override;
    void TearDown() override;

    static void SetStorageFolder(const std::string& folder);
    // Deletes a folder with its files and folders.
    static void RemoveTree(const std::string& folder);

    std::string PathOf(const char* name) const { return m_folder + "\\" + name; }
    void OpenDemoLink();

    std::string m_parent;
    std::string m_folder;
};
