#include "RegistryTestHelpers.h"
#include <objbase.h>
#include <shlwapi.h>
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "base/TextHelpers.h"

RegistryValue ReadRegistryValue(HKEY root, const std::string& path, const char* valueName)
{
    RegistryValue value;
    RegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return value;
    value.bytes.resize(size);
    if (RegQueryValueExA(key.Get(), valueName, nullptr, &value.type, value.bytes.data(), &size) != ERROR_SUCCESS) return value;
    value.bytes.resize(size);
    value.found = true;
    return value;
}

bool RegistryKeyExists(HKEY root, const std::string& path)
{
    RegKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Put()) == ERROR_SUCCESS;
}

std::vector<BYTE> StringBytes(const std::string& text)
{
    std::vector<BYTE> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

bool CreateRegistryKey(HKEY root, const std::string& path)
{
    RegKey key;
    return RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr) == ERROR_SUCCESS;
}

bool SetRegistryString(HKEY root, const std::string& path, const char* valueName, const std::string& text)
{
    RegKey key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS) return false;
    const std::vector<BYTE> bytes = StringBytes(text);
    return RegSetValueExA(key.Get(), valueName, 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

void RemoveRegistryTree(HKEY root, const std::string& path)
{
    SHDeleteKeyA(root, path.c_str());
}

std::string ClassIdText()
{
    CoTaskMemPtr<OLECHAR> wide;
    if (FAILED(StringFromIID(CLSID_LumoraFolder, wide.Put()))) return {};
    char text[MAX_PATH];
    WideToAnsi(text, wide.Get(), MAX_PATH);
    return text;
}

ScopedMachineKey::ScopedMachineKey(const std::string& top, const std::string& leaf)
    : m_top(top), m_leaf(leaf), m_topExisted(RegistryKeyExists(HKEY_LOCAL_MACHINE, top))
{
}

ScopedMachineKey::~ScopedMachineKey()
{
    RemoveRegistryTree(HKEY_LOCAL_MACHINE, m_topExisted ? m_top + "\\" + m_leaf : m_top);
}
