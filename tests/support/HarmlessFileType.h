// A file type whose open command does nothing, registered for the length of a scope in the
// test prefix's machine classes (Wine's ShellExecute reads file types only there).
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

class HarmlessFileType {
public:
    // The extension with its dot, such as ".qqh".
    explicit HarmlessFileType(const char* extension) : m_extension(std::string("Software\\Classes\\") + extension)
    {
        SetText(m_extension.c_str(), "LumoraTest.Harmless");
        SetText("Software\\Classes\\LumoraTest.Harmless\\shell\\open\\command", "cmd.exe /c exit");
    }
    ~HarmlessFileType()
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_extension.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\LumoraTest.Harmless");
    }
    HarmlessFileType(const HarmlessFileType&) = delete;
    HarmlessFileType& operator=(const HarmlessFileType&) = delete;

private:
    static void SetText(const char* keyPath, const char* text)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(lstrlenA(text) + 1));
        RegCloseKey(key);
    }

    std::string m_extension;
};
