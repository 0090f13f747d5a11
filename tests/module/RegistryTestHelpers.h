// Reading back and cleaning up the registry that the registration tests touch.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

struct RegistryValue {
    bool found = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

RegistryValue ReadRegistryValue(HKEY root, const std::string& path, const char* valueName);
bool RegistryKeyExists(HKEY root, const std::string& path);
// The bytes of a string value as registration writes it: the text and its zero.
std::vector<BYTE> StringBytes(const std::string& text);
// Creates a key and its parents.
bool CreateRegistryKey(HKEY root, const std::string& path);
// Creates a key (and its parents) and sets one string value in it.
bool SetRegistryString(HKEY root, const std::string& path, const char* valueName, const std::string& text);
// Removes a whole tree with the platform's own call (independent of the module's code).
void RemoveRegistryTree(HKEY root, const std::string& path);

// The folder's class id as registry text, with braces.
std::string ClassIdText();

// A key under HKEY_LOCAL_MACHINE that a test fills: when it goes, it removes the tree it
// made (the top key only if it did not exist before).
class ScopedMachineKey {
public:
    ScopedMachineKey(const std::string& top, const std::string& leaf);
    ~ScopedMachineKey();
    ScopedMachineKey(const ScopedMachineKey&) = delete;
    ScopedMachineKey& operator=(const ScopedMachineKey&) = delete;

private:
    std::string m_top;
    std::string m_leaf;
    bool m_topExisted;
};
