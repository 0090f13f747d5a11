// Small owners of Win32 resources: each closes what it holds when it goes out of scope.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <utility>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

// A registry key.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : m_hKey(key) {}
    ~RegKey() { Reset(); }
    RegKey(RegKey&& other) noexcept : m_hKey(std::exchange(other.m_hKey, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept { if (this != &other) { Reset(); m_hKey = std::exchange(other.m_hKey, nullptr); } return *this; }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Get() const { return m_hKey; }
    HKEY* Put() { Reset(); return &m_hKey; }
    explicit operator bool() const { return m_hKey != nullptr; }
    void Reset() { if (m_hKey) { RegCloseKey(m_hKey); m_hKey = nullptr; } }

private:
    HKEY m_hKey = nullptr;
};

// A kernel handle; INVALID_HANDLE_VALUE and null both mean none.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    // Closes now; true when there was nothing to close or CloseHandle succeeded.
    bool Close() {
        if (!IsValid()) return true;
        const bool closed = CloseHandle(m_handle) != FALSE;
        m_handle = nullptr;
        return closed;
    }

private:
    HANDLE m_handle = nullptr;
};

// A library loaded for the length of a call.
class LibraryHandle {
public:
    explicit LibraryHandle(const char* name) : m_hModule(LoadLibraryA(name)) {}
    ~LibraryHandle() { if (m_hModule) FreeLibrary(m_hModule); }
    LibraryHandle(const LibraryHandle&) = delete;
    LibraryHandle& operator=(const LibraryHandle&) = delete;

    HMODULE Get() const { return m_hModule; }
    template <typename Fn> Fn GetProc(const char* name) const {
        return m_hModule ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m_hModule, name))) : nullptr;
    }

private:
    HMODULE m_hModule;
};

// Memory from the COM task allocator.
template <typename T> class CoTaskMemPtr {
public:
    CoTaskMemPtr() = default;
    explicit CoTaskMemPtr(T* p) : m_p(p) {}
    ~CoTaskMemPtr() { CoTaskMemFree(m_p); }
    CoTaskMemPtr(const CoTaskMemPtr&) = delete;
    CoTaskMemPtr& operator=(const CoTaskMemPtr&) = delete;

    T* Get() const { return m_p; }
    T** Put() { CoTaskMemFree(m_p); m_p = nullptr; return &m_p; }
    T* Release() { return std::exchange(m_p, nullptr); }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// Memory from an IMalloc allocator, given back to the same allocator.
template <typename T> class MallocPtr {
public:
    MallocPtr(IMalloc* malloc, T* p) : m_pMalloc(malloc), m_p(p) {}
    ~MallocPtr() { if (m_p) m_pMalloc->Free(m_p); }
    MallocPtr(const MallocPtr&) = delete;
    MallocPtr& operator=(const MallocPtr&) = delete;

    T* Get() const { return m_p; }
    T* Release() { return std::exchange(m_p, nullptr); }
    explicit operator bool() const { return m_p != nullptr; }

private:
    IMalloc* m_pMalloc;
    T* m_p;
};

// The wait cursor while a blocking call runs; the previous cursor comes back at scope end.
class WaitCursor {
public:
    WaitCursor() : m_hPrevious(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_hPrevious); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_hPrevious;
};

// A locked global memory block.
template <typename T> class GlobalLockPtr {
public:
    explicit GlobalLockPtr(HGLOBAL hGlobal) : m_hGlobal(hGlobal), m_p(hGlobal ? static_cast<T*>(GlobalLock(hGlobal)) : nullptr) {}
    ~GlobalLockPtr() { if (m_p) GlobalUnlock(m_hGlobal); }
    GlobalLockPtr(const GlobalLockPtr&) = delete;
    GlobalLockPtr& operator=(const GlobalLockPtr&) = delete;

    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    HGLOBAL m_hGlobal;
    T* m_p;
};
