// The class object as the shell gets it: DllGetClassObject, the factory, DllCanUnloadNow.
#include <gtest/gtest.h>
#include <shlobj.h>
#include "TolvaneDll.h"
#include "base/ModuleState.h"
#include "base/Raii.h"

namespace {

void* const kGarbage = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5A5A5A5A));

class ClassFactoryTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dll.IsLoaded()) << m_dll.Path(); }
    // No test leaves an object of the module alive.
    void TearDown() override
    {
        if (m_dll.IsLoaded()) {
            EXPECT_EQ(S_OK, m_dll.DllCanUnloadNow());
        }
    }

    HRESULT GetFactory(ComPtr<IClassFactory>& factory)
    {
        return m_dll.DllGetClassObject(CLSID_LumoraFolder, IID_IClassFactory, reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf()));
    }

    TolvaneDll m_dll;
};

struct ForeignClassCase {
    const char* label;
    const CLSID* clsid;
};

const GUID kNearlyOurs = {0x6a1f3c52, 0x8b4e, 0x4d7a, {0x9c, 0x21, 0x5e, 0x0b, 0x7d, 0x3a, 0x4f, 0x19}};
const GUID kFirstByteDiffers = {0x6a1f3c53, 0x8b4e, 0x4d7a, {0x9c, 0x21, 0x5e, 0x0b, 0x7d, 0x3a, 0x4f, 0x18}};

const ForeignClassCase kForeignClasses[] = {
    {"null class", &GUID_NULL},
    {"shell link", &CLSID_ShellLink},
    {"last byte differs", &kNearlyOurs},
    {"first byte differs", &kFirstByteDiffers},
};

TEST_F(ClassFactoryTest, OtherClassIdsAreNotAvailableAndGiveNull)
{
    for (const ForeignClassCase& c : kForeignClasses) {
        void* out = kGarbage;
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, m_dll.DllGetClassObject(*c.clsid, IID_IClassFactory, &out)) << c.label;
        EXPECT_EQ(nullptr, out) << c.label;
    }
}

struct InterfaceCase {
    const char* label;
    const IID* iid;
    HRESULT expected;
};

const InterfaceCase kFactoryInterfaces[] = {
    {"IUnknown", &IID_IUnknown, S_OK},
    {"IClassFactory", &IID_IClassFactory, S_OK},
    {"IShellFolder", &IID_IShellFolder, E_NOINTERFACE},
    {"IPersistFolder", &IID_IPersistFolder, E_NOINTERFACE},
    {"IClassFactory2", &IID_IClassFactory2, E_NOINTERFACE},
};

// The factory answers IUnknown and IClassFactory only, both from the export and from itself.
TEST_F(ClassFactoryTest, FactoryAnswersOnlyItsOwnInterfaces)
{
    for (const InterfaceCase& c : kFactoryInterfaces) {
        void* out = kGarbage;
        EXPECT_EQ(c.expected, m_dll.DllGetClassObject(CLSID_LumoraFolder, *c.iid, &out)) << c.label;
        EXPECT_EQ(c.expected == S_OK, out != nullptr) << c.label;
        if (out) static_cast<IUnknown*>(out)->Release();
        EXPECT_EQ(S_OK, m_dll.DllCanUnloadNow()) << c.label;

        ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, GetFactory(factory));
        out = kGarbage;
        EXPECT_EQ(c.expected, factory->QueryInterface(*c.iid, &out)) << c.label;
        EXPECT_EQ(c.expected == S_OK, out != nullptr) << c.label;
        if (out) static_cast<IUnknown*>(out)->Release();
    }
}

TEST_F(ClassFactoryTest, ReferenceCountsAreReturned)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, GetFactory(factory));
    EXPECT_EQ(2u, factory->AddRef());
    EXPECT_EQ(3u, factory->AddRef());
    EXPECT_EQ(2u, factory->Release());
    EXPECT_EQ(1u, factory->Release());
    EXPECT_EQ(0u, factory.Detach()->Release());
}

TEST_F(ClassFactoryTest, ModuleStaysWhileTheFactoryLives)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, GetFactory(factory));
    EXPECT_EQ(S_FALSE, m_dll.DllCanUnloadNow());
    ComPtr<IClassFactory> second;
    ASSERT_EQ(S_OK, GetFactory(second));
    factory.Reset();
    EXPECT_EQ(S_FALSE, m_dll.DllCanUnloadNow());
    second.Reset();
    EXPECT_EQ(S_OK, m_dll.DllCanUnloadNow());
}

TEST_F(ClassFactoryTest, AggregationIsRefused)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, GetFactory(factory));
    ComPtr<IUnknown> outer;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&outer)));
    const IID* iids[] = {&IID_IUnknown, &IID_IShellFolder};
    for (const IID* iid : iids) {
        void* out = kGarbage;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), *iid, &out));
        EXPECT_EQ(nullptr, out);
    }
}

// The factory makes the camera folder; an interface the folder lacks leaves nothing alive.
TEST_F(ClassFactoryTest, CreateInstanceMakesTheFolder)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, GetFactory(factory));

    ComPtr<IShellFolder> folder;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&folder)));
    ASSERT_NE(nullptr, folder.Get());
    ComPtr<IPersistFolder> persist;
    ASSERT_EQ(S_OK, folder.As(&persist));
    CLSID clsid = GUID_NULL;
    EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_LumoraFolder, clsid));
    persist.Reset();
    folder.Reset();

    void* out = kGarbage;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    factory.Reset();
    EXPECT_EQ(S_OK, m_dll.DllCanUnloadNow());
}

TEST_F(ClassFactoryTest, LockServerIsNotProvidedAndDoesNotHoldTheModule)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, GetFactory(factory));
    EXPECT_EQ(E_NOTIMPL, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_OK, m_dll.DllCanUnloadNow());
    EXPECT_TRUE(m_dll.Unload());
}

}  // namespace
