// The camera maker's library, bound on the first call: from the folder this module was
// loaded from (where the library sits beside the extension), else from the system's search
// path. When it cannot be found, or lacks a function, the call answers that no camera was
// located, which the user is told like any other failure to reach the camera.
#include <windows.h>
#include "camera/ZqApi.h"
#include "camera/ZqLibrary.h"
#include "base/ModuleState.h"
#include "base/TextHelpers.h"

// Every function of the library: name, parameters, arguments.
#define ZQ_FUNCTIONS(X)                                                                       \
    X(ZQ_OpenComm, (ZqLinkType linkType), (linkType))                                         \
    X(ZQ_CloseComm, (void), ())                                                               \
    X(ZQ_SetStatusAbortProc, (ZqAbortProc abortProc), (abortProc))                            \
    X(ZQ_SetAcquisitionMode, (unsigned mode), (mode))                                         \
    X(ZQ_StopAcquisition, (void), ())                                                         \
    X(ZQ_GetNumFiles, (unsigned* count), (count))                                             \
    X(ZQ_GetFiles, (char* buffer, unsigned size), (buffer, size))                             \
    X(ZQ_GetFileSize, (const char* name, unsigned* size), (name, size))                       \
    X(ZQ_ReceiveFile, (const char* name, unsigned size, unsigned char* buffer), (name, size, buffer)) \
    X(ZQ_GetSegmentedFile, (unsigned segmentSize, const char* name), (segmentSize, name))     \
    X(ZQ_GetSegment, (unsigned size, unsigned char* buffer), (size, buffer))                  \
    X(ZQ_PutFile, (unsigned size, const unsigned char* data, const char* name), (size, data, name)) \
    X(ZQ_PutSegmentedFile, (unsigned totalSize, const char* name), (totalSize, name))         \
    X(ZQ_PutSegment, (unsigned size, const unsigned char* data), (size, data))                \
    X(ZQ_DeleteFile, (const char* name), (name))                                              \
    X(ZQ_GetFirmwareVersion, (char* text), (text))                                            \
    X(ZQ_GetMediaFree, (unsigned* freeKiB), (freeKiB))

namespace {
#define ZQ_INDEX(name, params, args) k_##name,
enum ZqFunctionIndex { ZQ_FUNCTIONS(ZQ_INDEX) kZqFunctionCount };
#undef ZQ_INDEX

#define ZQ_NAME(name, params, args) #name,
const char* const kZqFunctionNames[kZqFunctionCount] = {ZQ_FUNCTIONS(ZQ_NAME)};
#undef ZQ_NAME

const char kLibraryName[] = "pelcore.dll";

INIT_ONCE g_bindOnce = INIT_ONCE_STATIC_INIT;
HMODULE g_hLibrary = nullptr;           // the library bound; null: it could not be loaded
FARPROC g_apfnBound[kZqFunctionCount];  // null: the function is not there

// The library beside this module, else the one the system's search path finds.
HMODULE LoadCameraLibrary()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(g_hinstModule, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        char* name = strrchr(path, '\\');
        if (name && static_cast<size_t>(name + 1 - path) + sizeof(kLibraryName) <= MAX_PATH) {
            CopyStringN(name + 1, kLibraryName, static_cast<int>(sizeof(kLibraryName)));
            if (HMODULE library = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) return library;
        }
    }
    return LoadLibraryA(kLibraryName);
}

// Loads the library once per process and looks every function up; it stays loaded.
BOOL CALLBACK BindCameraLibrary(INIT_ONCE*, void*, void**)
{
    HMODULE library = LoadCameraLibrary();
    if (!library) return TRUE;
    g_hLibrary = library;
    for (int i = 0; i < kZqFunctionCount; ++i) g_apfnBound[i] = GetProcAddress(library, kZqFunctionNames[i]);
    return TRUE;
}

// Binds the library once per process.
void BindOnce()
{
    InitOnceExecuteOnce(&g_bindOnce, BindCameraLibrary, nullptr, nullptr);
}

// The library's function of that index, or null when it cannot be had.
template <typename Fn> Fn BoundFunction(ZqFunctionIndex index)
{
    BindOnce();
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(g_apfnBound[index]));
}
}  // namespace

// The module the calls go to: the about box reads its version from the file it came from.
HMODULE CameraLibraryModule()
{
    BindOnce();
    return g_hLibrary;
}

// Each function calls the library's own, or answers that no camera was located.
#define ZQ_FORWARDER(name, params, args)                                   \
    extern "C" ComStatus ZQAPI name params                                 \
    {                                                                      \
        const auto function = BoundFunction<decltype(&name)>(k_##name);   \
        return function ? function args : ZQ_STATUS_NOT_LOCATED;           \
    }
ZQ_FUNCTIONS(ZQ_FORWARDER)
#undef ZQ_FORWARDER
