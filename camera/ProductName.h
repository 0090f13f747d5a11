// The product's display name from the registry, and the titles and captions built from it.
#pragma once
#include <windows.h>

// The product name is at most 100 bytes with its zero.
constexpr int kProductNameCapacity = 100;

// The product's display name from the registry (buffer of capacity bytes, at most 100).
bool ReadProductName(char* name, DWORD capacity);

// The registry's product name, else string 1 ("Lumora "), in text (capacity bytes).
void LoadProductName(char* text, int capacity);

// The string idPrefix followed by the registry's product name, in title (capacity bytes).
// False, with title empty, when the registry names no product.
bool BuildProductTitle(UINT idPrefix, char* title, int capacity);
