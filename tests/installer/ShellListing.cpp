// Lists the camera folder the way a shell client finds it: the desktop folder, My Computer,
// the item named "Lumora", bound as a folder and asked for its files. One line per finding:
//   mycomputer <name>   each item of My Computer
//   file <name>         each file of the camera folder
//   box <text>          each message box that came up (closed at once)
// Exit code: 0 listed, 1 My Computer has no "Lumora", 2 it could not be bound or enumerated.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <cstdio>
#include <string>
#include "items/CameraItemId.h"
#include "base/Raii.h"
#include "support/DialogCapture.h"

namespace {

const char kFolderName[] = "Lumora";

// An item's display name in its folder, without trailing blanks; empty when it has none.
std::string DisplayName(IShellFolder* folder, LPCITEMIDLIST item)
{
    STRRET strret = {};
    char name[MAX_PATH] = "";
    if (FAILED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &strret))) return {};
    if (FAILED(StrRetToBufA(&strret, item, name, MAX_PATH))) return {};
    std::string text(name);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// A camera file's name, from its identifier (the folder leaves naming items to its view).
std::string CameraFileName(LPCITEMIDLIST item)
{
    const auto* camera = reinterpret_cast<const CameraItemId*>(item);
    if (camera->cb < kItemMinimumSize) return "<malformed>";
    return std::string(camera->szName, strnlen(camera->szName, camera->cb - kItemNameOffset));
}

// Prints My Computer's items and hands out the one named "Lumora" (null when none is).
CoTaskMemPtr<ITEMIDLIST> FindCameraFolder(IShellFolder* myComputer)
{
    CoTaskMemPtr<ITEMIDLIST> found;
    ComPtr<IEnumIDList> items;
    if (myComputer->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) != S_OK) return found;
    CoTaskMemPtr<ITEMIDLIST> item;
    while (items->Next(1, item.Put(), nullptr) == S_OK) {
        const std::string name = DisplayName(myComputer, item.Get());
        printf("mycomputer %s\n", name.c_str());
        if (name == kFolderName && !found) found = std::move(item);
    }
    return found;
}

// Prints the files the camera folder lists; false when it cannot be bound or enumerated.
bool ListCameraFiles(IShellFolder* myComputer, LPCITEMIDLIST folderItem)
{
    ComPtr<IShellFolder> camera;
    if (FAILED(myComputer->BindToObject(folderItem, nullptr, IID_PPV_ARGS(&camera)))) return false;
    ComPtr<IEnumIDList> files;
    if (camera->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &files) != S_OK || !files) return false;
    CoTaskMemPtr<ITEMIDLIST> item;
    while (files->Next(1, item.Put(), nullptr) == S_OK) printf("file %s\n", CameraFileName(item.Get()).c_str());
    return true;
}

// Desktop, then My Computer, then the camera folder.
int ListThroughTheShell()
{
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(&desktop))) return 2;
    CoTaskMemPtr<ITEMIDLIST> drives;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, drives.Put()))) return 2;
    ComPtr<IShellFolder> myComputer;
    if (FAILED(desktop->BindToObject(drives.Get(), nullptr, IID_PPV_ARGS(&myComputer)))) return 2;
    CoTaskMemPtr<ITEMIDLIST> folderItem = FindCameraFolder(myComputer.Get());
    if (!folderItem) return 1;
    return ListCameraFiles(myComputer.Get(), folderItem.Get()) ? 0 : 2;
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    int result;
    {
        DialogCapture boxes;
        result = ListThroughTheShell();
        for (const std::string& text : boxes.Messages()) printf("box %s\n", text.c_str());
    }
    OleUninitialize();
    fflush(stdout);
    return result;
}
