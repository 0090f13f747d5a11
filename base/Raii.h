// Small owners of Win32 resources: each closes what it holds when it goes out of scope.
// Every handle holder is one UniqueAny<T, Close, IsValid> template.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
#include <shtypes.h>
#include <utility>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

// Handles whose "none" is null.
template <typename T> constexpr bool IsNonNull(T value)
{
    return value != T{};
}

// Kernel handles, where INVALID_HANDLE_VALUE means none as well as null.
inline bool IsValidKernelHandle(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// Owns one value of T and closes it with CloseValue (which answers whether closing worked).
template <typename T, bool (*CloseValue)(T), bool (*IsValidValue)(T) = IsNonNull<T>> class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(T value) : m_value(value) {}
    ~UniqueAny() { Reset(); }
    UniqueAny(UniqueAny&& other) noexcept : m_value(std::exchange(other.m_value, T{})) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_value = std::exchange(other.m_value, T{});
        }
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

    T Get() const { return m_value; }
    bool IsValid() const { return IsValidValue(m_value); }
    explicit operator bool() const { return IsValid(); }
    // Closes what is held, then gives the place for a new value.
    T* Put()
    {
        Reset();
        return &m_value;
    }
    // Hands the value over to the caller, who closes it.
    T Release() { return std::exchange(m_value, T{}); }
    // Closes now; true when there was nothing to close or closing succeeded.
    bool Reset(T value = T{})
    {
        const T old = std::exchange(m_value, value);
        return IsValidValue(old) ? CloseValue(old) : true;
    }
    bool Close() { return Reset(); }

private:
    T m_value{};
};

namespace raii_close {
inline bool RegKey(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }
inline bool Handle(HANDLE handle) { return CloseHandle(handle) != FALSE; }
inline bool Library(HMODULE module) { return FreeLibrary(module) != FALSE; }
inline bool Window(HWND hwnd) { return DestroyWindow(hwnd) != FALSE; }
inline bool Menu(HMENU menu) { return DestroyMenu(menu) != FALSE; }
inline bool Global(HGLOBAL block) { return GlobalFree(block) == nullptr; }
inline bool Find(HANDLE find) { return FindClose(find) != FALSE; }
template <typename T> bool Local(T block)
{
    return LocalFree(block) == nullptr;
}
inline bool MemoryDC(HDC dc) { return DeleteDC(dc) != FALSE; }
inline bool Accelerators(HACCEL table) { return DestroyAcceleratorTable(table) != FALSE; }
inline bool Clipboard(BOOL opened) { return opened && CloseClipboard() != FALSE; }
inline bool ComApartment(BOOL entered)
{
    if (entered) CoUninitialize();
    return true;
}
inline bool ImageList(HIMAGELIST list) { return ImageList_Destroy(list) != FALSE; }
template <typename T> bool GdiObject(T object)
{
    return DeleteObject(object) != FALSE;
}
template <typename T> bool CoTaskMem(T* p)
{
    CoTaskMemFree(p);
    return true;
}
}  // namespace raii_close

using RegKey = UniqueAny<HKEY, raii_close::RegKey>;
using FileHandle = UniqueAny<HANDLE, raii_close::Handle, IsValidKernelHandle>;
using KernelHandle = FileHandle;
using FindHandle = UniqueAny<HANDLE, raii_close::Find, IsValidKernelHandle>;
using WindowHandle = UniqueAny<HWND, raii_close::Window>;
using MenuHandle = UniqueAny<HMENU, raii_close::Menu>;
using GlobalBlock = UniqueAny<HGLOBAL, raii_close::Global>;
template <typename T> using CoTaskMemPtr = UniqueAny<T*, raii_close::CoTaskMem<T>>;
template <typename T> using LocalPtr = UniqueAny<T, raii_close::Local<T>>;  // LocalAlloc blocks
using MemoryDCHandle = UniqueAny<HDC, raii_close::MemoryDC>;
using BitmapHandle = UniqueAny<HBITMAP, raii_close::GdiObject<HBITMAP>>;
using AcceleratorTable = UniqueAny<HACCEL, raii_close::Accelerators>;
// The clipboard opened by this thread: OpenedClipboard clipboard(OpenClipboard(nullptr)).
using OpenedClipboard = UniqueAny<BOOL, raii_close::Clipboard>;
// COM entered by this thread: ComApartment com(SUCCEEDED(CoInitializeEx(nullptr, model))).
using ComApartment = UniqueAny<BOOL, raii_close::ComApartment>;
using ImageListHandle = UniqueAny<HIMAGELIST, raii_close::ImageList>;
using PidlHandle = CoTaskMemPtr<ITEMIDLIST>;  // identifier lists of the shell's task allocator

// A library loaded for the length of a call, with typed lookups of its exports.
class LibraryHandle : public UniqueAny<HMODULE, raii_close::Library> {
public:
    explicit LibraryHandle(const char* name) : UniqueAny(LoadLibraryA(name)) {}
    template <typename Fn> Fn GetProc(const char* name) const
    {
        return IsValid() ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(Get(), name))) : nullptr;
    }
};

// Memory from an IMalloc allocator, given back to the same allocator.
template <typename T> class MallocPtr {
public:
    MallocPtr(IMalloc* malloc, T* p) : m_pMalloc(malloc), m_p(p) {}
    ~MallocPtr()
    {
        if (m_p) m_pMalloc->Free(m_p);
    }
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

// A slim reader/writer lock held exclusively for a scope.
class ExclusiveSrwLock {
public:
    explicit ExclusiveSrwLock(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~ExclusiveSrwLock() { ReleaseSRWLockExclusive(&m_lock); }
    ExclusiveSrwLock(const ExclusiveSrwLock&) = delete;
    ExclusiveSrwLock& operator=(const ExclusiveSrwLock&) = delete;

private:
    SRWLOCK& m_lock;
};

// A window's top-level window disabled for a scope, as under a modal dialog; one that was
// disabled already stays as it is.
class DisabledRootWindow {
public:
    explicit DisabledRootWindow(HWND window) : m_hwnd(window ? GetAncestor(window, GA_ROOT) : nullptr)
    {
        if (m_hwnd && IsWindowEnabled(m_hwnd)) EnableWindow(m_hwnd, FALSE);
        else m_hwnd = nullptr;
    }
    ~DisabledRootWindow()
    {
        if (m_hwnd) EnableWindow(m_hwnd, TRUE);
    }
    DisabledRootWindow(const DisabledRootWindow&) = delete;
    DisabledRootWindow& operator=(const DisabledRootWindow&) = delete;

private:
    HWND m_hwnd;
};

// A window's device context, caption and borders included, for the length of a scope.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(GetWindowDC(hwnd)) {}
    ~WindowDC()
    {
        if (m_hdc) ReleaseDC(m_hwnd, m_hdc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return m_hdc; }
    explicit operator bool() const { return m_hdc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// A GDI object selected into a device context; the previous one is selected back at scope end.
class SelectedObject {
public:
    SelectedObject(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_hPrevious(SelectObject(hdc, object)) {}
    ~SelectedObject()
    {
        if (m_hPrevious) SelectObject(m_hdc, m_hPrevious);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_hPrevious;
};

// The native system folders for this thread while it lives: a 32-bit module on 64-bit Windows
// otherwise sees the 32-bit system folder under the name "system32". Nothing changes elsewhere.
class NativeSystemFolders {
public:
    NativeSystemFolders() : m_fDisabled(Wow64DisableWow64FsRedirection(&m_pOldValue) != FALSE) {}
    ~NativeSystemFolders()
    {
        if (m_fDisabled) Wow64RevertWow64FsRedirection(m_pOldValue);
    }
    NativeSystemFolders(const NativeSystemFolders&) = delete;
    NativeSystemFolders& operator=(const NativeSystemFolders&) = delete;

private:
    void* m_pOldValue = nullptr;
    bool m_fDisabled;
};

// A locked global memory block.
template <typename T> class GlobalLockPtr {
public:
    explicit GlobalLockPtr(HGLOBAL hGlobal) : m_hGlobal(hGlobal), m_p(hGlobal ? static_cast<T*>(GlobalLock(hGlobal)) : nullptr) {}
    ~GlobalLockPtr()
    {
        if (m_p) GlobalUnlock(m_hGlobal);
    }
    GlobalLockPtr(const GlobalLockPtr&) = delete;
    GlobalLockPtr& operator=(const GlobalLockPtr&) = delete;

    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    HGLOBAL m_hGlobal;
    T* m_p;
};

// Takes over the caller's reference. (This toolchain's ComPtr::Attach adds one more.)
template <typename T> ComPtr<T> Adopt(T* object)
{
    ComPtr<T> owner;
    *owner.GetAddressOf() = object;
    return owner;
}
