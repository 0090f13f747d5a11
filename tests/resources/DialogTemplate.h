// Reads a dialog template resource (DLGTEMPLATE or DLGTEMPLATEEX) into plain fields,
// so tests can check what the resource compiler really wrote.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// A class name, caption or text of a template: a string or an ordinal (0xFFFF, n).
struct TemplateName {
    std::wstring text;
    WORD ordinal = 0;  // non-zero when the field holds an ordinal
};

struct TemplateControl {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    TemplateName windowClass;  // predefined classes are ordinals: 0x80 button, 0x82 static
    TemplateName text;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    TemplateName menu;
    TemplateName windowClass;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<TemplateControl> controls;
};

// Finds and parses dialog resource id of module; false when it is missing or truncated.
bool ReadDialogTemplate(HMODULE module, WORD id, DialogTemplate* pDialog);
