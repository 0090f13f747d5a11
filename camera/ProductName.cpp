// The product's display name, looked up in the registry for captions and titles.
#include "camera/ProductName.h"
#include "base/ModuleState.h"
#include "base/Raii.h"
#include "base/TextHelpers.h"
#include "resources/resource.h"

namespace {
const char kSettingsKey[] = "Software\\Qorvix\\Lumora\\InformationSettings";
const char kFallbackKey[] = "Software\\Corvane\\Lumora";
// The product name is at most 100 bytes; the key path it points through at most 1024.
const DWORD kProductNameMax = kProductNameCapacity;
const DWORD kKeyPathMax = 1024;

// Reads a value as text of at most capacity bytes, terminated; a value that fills
// the buffer without its own terminator, or an empty one, is not taken.
bool ReadValueText(HKEY key, const char* value, char* text, DWORD capacity)
{
    DWORD cb = capacity;
    if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &cb) != ERROR_SUCCESS || cb > capacity) {
        text[0] = '\0';
        return false;
    }
    if (cb == capacity && text[capacity - 1] != '\0') {
        text[0] = '\0';
        return false;
    }
    if (cb < capacity) text[cb] = '\0';
    return text[0] != '\0';
}

// "ProductName" of a key under HKEY_LOCAL_MACHINE.
bool ReadNameFromKey(const char* keyPath, REGSAM access, char* name, DWORD capacity)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, access, key.Put()) != ERROR_SUCCESS) return false;
    return ReadValueText(key.Get(), "ProductName", name, capacity);
}
}  // namespace

// The installed product's name: through the settings key's "Path", else the old product key.
bool ReadProductName(char* name, DWORD capacity)
{
    if (!name || capacity == 0) return false;
    name[0] = '\0';
    if (capacity > kProductNameMax) capacity = kProductNameMax;

    RegKey settings;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, settings.Put()) != ERROR_SUCCESS)
        return ReadNameFromKey(kFallbackKey, KEY_READ, name, capacity);

    char path[kKeyPathMax];
    const bool havePath = ReadValueText(settings.Get(), "Path", path, sizeof(path));
    settings.Reset();
    return havePath && ReadNameFromKey(path, KEY_QUERY_VALUE, name, capacity);
}

// The name that captions and the status bar show.
void LoadProductName(char* text, int capacity)
{
    if (!text || capacity <= 0) return;
    if (ReadProductName(text, static_cast<DWORD>(capacity))) return;
    text[0] = '\0';
    LoadStringA(g_hinstModule, IDS_PRODUCT_NAME, text, capacity);
}

// "Connecting to ", "Copying from ", "A&bout " ... followed by the product name.
bool BuildProductTitle(UINT idPrefix, char* title, int capacity)
{
    if (!title || capacity <= 0) return false;
    title[0] = '\0';
    char product[kProductNameCapacity];
    if (!ReadProductName(product, sizeof(product))) return false;
    LoadStringA(g_hinstModule, idPrefix, title, capacity);
    AppendStringN(title, product, capacity);
    return true;
}
