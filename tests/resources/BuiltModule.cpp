#include "BuiltModule.h"

namespace {

// Frees the data-file mapping when the program ends.
class DataFileModule {
public:
    explicit DataFileModule(const std::string& path)
        : m_hModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataFileModule() { if (m_hModule) FreeLibrary(m_hModule); }
    DataFileModule(const DataFileModule&) = delete;
    DataFileModule& operator=(const DataFileModule&) = delete;

    HMODULE Get() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

}  // namespace

std::string BuiltModulePath()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    const size_t slash = folder.find_last_of("\\/");
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    return folder + "tolvane.dll";
}

HMODULE BuiltModule()
{
    static DataFileModule module(BuiltModulePath());
    return module.Get();
}
