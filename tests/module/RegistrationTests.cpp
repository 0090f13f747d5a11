// Registration through the exports and through the registration tool, read back from the
// registry byte by byte; unregistration; the key-tree deletion.
#include <gtest/gtest.h>
#include <olectl.h>
#include "RegistryTestHelpers.h"
#include "TolvaneDll.h"
#include "module/Registration.h"

namespace {

const char kMyComputerNameSpace[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace\\";
const char kDesktopNameSpace[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\";
const char kApproved[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const char kInformationSettings[] = "Software\\Qorvix\\Lumora\\InformationSettings";
const char kCorvane[] = "Software\\Corvane\\Lumora";
const char kFallbackName[] = "Lumora ";

// Runs a program to its end; its exit code, or ~0 when it could not start.
DWORD RunProgram(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return ~0u;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = ~0u;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

class RegistrationTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dll.IsLoaded()) << m_dll.Path();
        ASSERT_FALSE(m_clsid.empty());
        RemoveRegistration();
    }
    void TearDown() override { RemoveRegistration(); }

    // Whatever a test left: the class keys, both name-space entries, the approved value.
    void RemoveRegistration()
    {
        RemoveRegistryTree(HKEY_CLASSES_ROOT, ClassKey());
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, kMyComputerNameSpace + m_clsid);
        RemoveRegistryTree(HKEY_LOCAL_MACHINE, kDesktopNameSpace + m_clsid);
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kApproved, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, m_clsid.c_str());
            RegCloseKey(key);
        }
    }

    std::string ClassKey() const { return "CLSID\\" + m_clsid; }
    std::string RegisteredName() const
    {
        const RegistryValue value = ReadRegistryValue(HKEY_CLASSES_ROOT, ClassKey(), nullptr);
        return value.found && !value.bytes.empty() ? std::string(value.bytes.begin(), value.bytes.end() - 1) : "<missing>";
    }

    TolvaneDll m_dll;
    const std::string m_clsid = ClassIdText();
};

enum class Expected { DisplayName, ModulePath, ModuleIcon, Apartment, Attributes };

struct ValueRow {
    const char* label;
    HKEY root;
    std::string (*keyPath)(const std::string& clsid);
    bool valueNamedByClass;
    const char* valueName;
    DWORD type;
    Expected data;
};

std::string ClassKeyOf(const std::string& clsid) { return "CLSID\\" + clsid; }
std::string InprocKeyOf(const std::string& clsid) { return "CLSID\\" + clsid + "\\InprocServer32"; }
std::string IconKeyOf(const std::string& clsid) { return "CLSID\\" + clsid + "\\DefaultIcon"; }
std::string ShellFolderKeyOf(const std::string& clsid) { return "CLSID\\" + clsid + "\\ShellFolder"; }
std::string NameSpaceKeyOf(const std::string& clsid) { return kMyComputerNameSpace + clsid; }
std::string ApprovedKeyOf(const std::string&) { return kApproved; }

const ValueRow kValueRows[] = {
    {"class name", HKEY_CLASSES_ROOT, ClassKeyOf, false, nullptr, REG_SZ, Expected::DisplayName},
    {"server path", HKEY_CLASSES_ROOT, InprocKeyOf, false, nullptr, REG_SZ, Expected::ModulePath},
    {"threading model", HKEY_CLASSES_ROOT, InprocKeyOf, false, "ThreadingModel", REG_SZ, Expected::Apartment},
    {"default icon", HKEY_CLASSES_ROOT, IconKeyOf, false, nullptr, REG_SZ, Expected::ModuleIcon},
    {"folder attributes", HKEY_CLASSES_ROOT, ShellFolderKeyOf, false, "Attributes", REG_BINARY, Expected::Attributes},
    {"My Computer entry", HKEY_LOCAL_MACHINE, NameSpaceKeyOf, false, nullptr, REG_SZ, Expected::DisplayName},
    {"approved value", HKEY_LOCAL_MACHINE, ApprovedKeyOf, true, nullptr, REG_SZ, Expected::DisplayName},
};

std::vector<BYTE> ExpectedBytes(Expected data, const std::string& modulePath, const std::string& displayName)
{
    switch (data) {
    case Expected::DisplayName: return StringBytes(displayName);
    case Expected::ModulePath: return StringBytes(modulePath);
    case Expected::ModuleIcon: return StringBytes(modulePath + ",0");
    case Expected::Apartment: return StringBytes("Apartment");
    case Expected::Attributes: return {0x00, 0x00, 0x00, 0x28};
    }
    return {};
}

// Every value of the table, with its type and its bytes.
void ExpectRegistered(const std::string& clsid, const std::string& modulePath, const std::string& displayName)
{
    for (const ValueRow& row : kValueRows) {
        const char* valueName = row.valueNamedByClass ? clsid.c_str() : row.valueName;
        const RegistryValue value = ReadRegistryValue(row.root, row.keyPath(clsid), valueName);
        EXPECT_TRUE(value.found) << row.label;
        EXPECT_EQ(row.type, value.type) << row.label;
        EXPECT_EQ(ExpectedBytes(row.data, modulePath, displayName), value.bytes) << row.label;
    }
}

void ExpectUnregistered(const std::string& clsid)
{
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, ClassKeyOf(clsid)));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kMyComputerNameSpace + clsid));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kDesktopNameSpace + clsid));
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kApproved, clsid.c_str()).found);
}

TEST_F(RegistrationTest, DllRegisterServerWritesEveryValue)
{
    ASSERT_EQ(S_OK, m_dll.DllRegisterServer());
    ExpectRegistered(m_clsid, m_dll.Path(), kFallbackName);
}

TEST_F(RegistrationTest, RegistrationToolRegistersAndUnregisters)
{
    EXPECT_EQ(0u, RunProgram("regsvr32.exe /s \"" + m_dll.Path() + "\""));
    ExpectRegistered(m_clsid, m_dll.Path(), kFallbackName);
    EXPECT_EQ(0u, RunProgram("regsvr32.exe /u /s \"" + m_dll.Path() + "\""));
    ExpectUnregistered(m_clsid);
}

TEST_F(RegistrationTest, RegisteringAgainRewritesTheSameValues)
{
    ASSERT_EQ(S_OK, m_dll.DllRegisterServer());
    ASSERT_EQ(S_OK, m_dll.DllRegisterServer());
    ExpectRegistered(m_clsid, m_dll.Path(), kFallbackName);
}

TEST_F(RegistrationTest, UnregisteringRemovesEverythingAndSucceedsTwice)
{
    ASSERT_EQ(S_OK, m_dll.DllRegisterServer());
    ASSERT_TRUE(CreateRegistryKey(HKEY_CLASSES_ROOT, ClassKey() + "\\Extra\\Deeper"));
    ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kDesktopNameSpace + m_clsid + "\\Sub", nullptr, "x"));

    EXPECT_EQ(S_OK, m_dll.DllUnregisterServer());
    ExpectUnregistered(m_clsid);
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kApproved));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\NameSpace"));
    EXPECT_EQ(S_OK, m_dll.DllUnregisterServer());
    ExpectUnregistered(m_clsid);
}

// Where the display name comes from, and what is written when the registry has none.
struct ProductNameCase {
    const char* label;
    bool informationSettings;  // the first key exists
    const char* path;          // its "Path" value, or none
    const char* pathName;      // "ProductName" of the key that Path names, or none
    std::string corvaneName;   // "ProductName" of the second key; empty: none
    std::string expected;
};

const char kProductKey[] = "Software\\Qorvix\\Lumora\\Product";

const ProductNameCase kProductNameCases[] = {
    {"no keys", false, nullptr, nullptr, "", kFallbackName},
    {"second key", false, nullptr, nullptr, "Corvane Camera", "Corvane Camera"},
    {"path wins", true, kProductKey, "Qorvix Camera", "Corvane Camera", "Qorvix Camera"},
    {"first key without path", true, nullptr, "Qorvix Camera", "Corvane Camera", kFallbackName},
    {"path to a missing key", true, "Software\\Qorvix\\Lumora\\Missing", nullptr, "Corvane Camera", kFallbackName},
    {"formatting directives", false, nullptr, nullptr, "Cam %s%s%n %d %%", "Cam %s%s%n %d %%"},
    {"99 characters", false, nullptr, nullptr, std::string(99, 'N'), std::string(99, 'N')},
    {"100 characters", false, nullptr, nullptr, std::string(100, 'N'), kFallbackName},
};

void WriteProductNameKeys(const ProductNameCase& c)
{
    if (c.informationSettings) {
        ASSERT_TRUE(CreateRegistryKey(HKEY_LOCAL_MACHINE, kInformationSettings));
        if (c.path) {
            ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kInformationSettings, "Path", c.path));
        }
    }
    if (c.pathName) {
        ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kProductKey, "ProductName", c.pathName));
    }
    if (!c.corvaneName.empty()) {
        ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, kCorvane, "ProductName", c.corvaneName));
    }
}

TEST_F(RegistrationTest, DisplayNameComesFromTheProductKeysOrTheFallback)
{
    for (const ProductNameCase& c : kProductNameCases) {
        SCOPED_TRACE(c.label);
        ScopedMachineKey qorvix("Software\\Qorvix", "Lumora");
        ScopedMachineKey corvane("Software\\Corvane", "Lumora");
        WriteProductNameKeys(c);
        ASSERT_EQ(S_OK, m_dll.DllRegisterServer());
        EXPECT_EQ(c.expected, RegisteredName());
        ExpectRegistered(m_clsid, m_dll.Path(), c.expected);
        EXPECT_EQ(S_OK, m_dll.DllUnregisterServer());
    }
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kInformationSettings));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kCorvane));
}

// Key-tree deletion, through the module's own code linked into this program.
class DeleteKeyTreeTest : public testing::Test {
protected:
    static constexpr char kBase[] = "Software\\LumoraModuleTests";
    void TearDown() override { RemoveRegistryTree(HKEY_CURRENT_USER, kBase); }

    // A tree of the given depth with a value in every key and `width` subkeys per level.
    static void BuildTree(const std::string& path, int depth, int width)
    {
        ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, path, "Value", path));
        if (depth == 0) return;
        for (int i = 0; i < width; ++i) BuildTree(path + "\\Level" + std::to_string(depth) + "_" + std::to_string(i), depth - 1, width);
    }
};

TEST_F(DeleteKeyTreeTest, RemovesThreeLevelsWithSeveralSubkeysEach)
{
    const std::string tree = std::string(kBase) + "\\Tree";
    const std::string sibling = std::string(kBase) + "\\Tree2";
    BuildTree(tree, 3, 3);
    ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, sibling, "Value", "stays"));
    ASSERT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, tree + "\\Level3_2\\Level2_2\\Level1_2"));

    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, tree.c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, tree));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, sibling));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kBase));
}

TEST_F(DeleteKeyTreeTest, WorksRelativeToAnOpenKeyAndFailsForAMissingOne)
{
    BuildTree(std::string(kBase) + "\\Tree", 2, 2);
    HKEY base = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kBase, 0, KEY_ALL_ACCESS, &base));
    EXPECT_EQ(DeleteKeyTree(base, "Tree"), ERROR_SUCCESS);
    EXPECT_EQ(DeleteKeyTree(base, "Tree"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(DeleteKeyTree(base, "Never\\There"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(base);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, std::string(kBase) + "\\Tree"));
}

}  // namespace
