#include "host/BrowserCallLog.h"
#include <shlobj.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

constexpr char kViewCallPrefix[] = "view.";

// How a control message's lParam is written.
enum class LParamKind { Number, Pointer, AnsiText, WideText, Parts, Bitmap };

struct ControlMessageRow {
    UINT uMsg;
    const char* name;
    LParamKind kind;
};

const ControlMessageRow kControlMessages[] = {
    {TB_ENABLEBUTTON, "TB_ENABLEBUTTON", LParamKind::Number},
    {TB_CHECKBUTTON, "TB_CHECKBUTTON", LParamKind::Number},
    {TB_PRESSBUTTON, "TB_PRESSBUTTON", LParamKind::Number},
    {TB_HIDEBUTTON, "TB_HIDEBUTTON", LParamKind::Number},
    {TB_SETSTATE, "TB_SETSTATE", LParamKind::Number},
    {TB_GETSTATE, "TB_GETSTATE", LParamKind::Number},
    {TB_ISBUTTONENABLED, "TB_ISBUTTONENABLED", LParamKind::Number},
    {TB_ISBUTTONCHECKED, "TB_ISBUTTONCHECKED", LParamKind::Number},
    {TB_DELETEBUTTON, "TB_DELETEBUTTON", LParamKind::Number},
    {TB_BUTTONCOUNT, "TB_BUTTONCOUNT", LParamKind::Number},
    {TB_ADDBITMAP, "TB_ADDBITMAP", LParamKind::Bitmap},
    {TB_ADDBUTTONSA, "TB_ADDBUTTONSA", LParamKind::Pointer},
    {TB_ADDBUTTONSW, "TB_ADDBUTTONSW", LParamKind::Pointer},
    {TB_INSERTBUTTONA, "TB_INSERTBUTTONA", LParamKind::Pointer},
    {TB_INSERTBUTTONW, "TB_INSERTBUTTONW", LParamKind::Pointer},
    {TB_GETBUTTON, "TB_GETBUTTON", LParamKind::Pointer},
    {TB_SETBUTTONINFOA, "TB_SETBUTTONINFOA", LParamKind::Pointer},
    {TB_SETBUTTONINFOW, "TB_SETBUTTONINFOW", LParamKind::Pointer},
    {TB_GETIMAGELIST, "TB_GETIMAGELIST", LParamKind::Number},
    {SB_SETTEXTA, "SB_SETTEXTA", LParamKind::AnsiText},
    {SB_SETTEXTW, "SB_SETTEXTW", LParamKind::WideText},
    {SB_GETTEXTA, "SB_GETTEXTA", LParamKind::Pointer},
    {SB_GETTEXTW, "SB_GETTEXTW", LParamKind::Pointer},
    {SB_SETPARTS, "SB_SETPARTS", LParamKind::Parts},
    {SB_GETPARTS, "SB_GETPARTS", LParamKind::Pointer},
    {SB_SIMPLE, "SB_SIMPLE", LParamKind::Number},
    {SB_SETICON, "SB_SETICON", LParamKind::Pointer},
    {SB_SETTIPTEXTA, "SB_SETTIPTEXTA", LParamKind::AnsiText},
    {SB_SETTIPTEXTW, "SB_SETTIPTEXTW", LParamKind::WideText},
};

struct NamedValue {
    UINT_PTR value;
    const char* name;
};

// The common-control bitmaps a view adds to the toolbar.
const NamedValue kCommonBitmaps[] = {
    {IDB_STD_SMALL_COLOR, "IDB_STD_SMALL_COLOR"},   {IDB_STD_LARGE_COLOR, "IDB_STD_LARGE_COLOR"},
    {IDB_VIEW_SMALL_COLOR, "IDB_VIEW_SMALL_COLOR"}, {IDB_VIEW_LARGE_COLOR, "IDB_VIEW_LARGE_COLOR"},
    {IDB_HIST_SMALL_COLOR, "IDB_HIST_SMALL_COLOR"}, {IDB_HIST_LARGE_COLOR, "IDB_HIST_LARGE_COLOR"},
};

const NamedValue kControls[] = {
    {FCW_STATUS, "FCW_STATUS"},           {FCW_TOOLBAR, "FCW_TOOLBAR"},   {FCW_TREE, "FCW_TREE"},
    {FCW_INTERNETBAR, "FCW_INTERNETBAR"}, {FCW_PROGRESS, "FCW_PROGRESS"},
};

const NamedValue kActivations[] = {
    {SVUIA_DEACTIVATE, "SVUIA_DEACTIVATE"},
    {SVUIA_ACTIVATE_NOFOCUS, "SVUIA_ACTIVATE_NOFOCUS"},
    {SVUIA_ACTIVATE_FOCUS, "SVUIA_ACTIVATE_FOCUS"},
    {SVUIA_INPLACEACTIVATE, "SVUIA_INPLACEACTIVATE"},
};

const NamedValue kKeyMessages[] = {
    {WM_KEYDOWN, "WM_KEYDOWN"},       {WM_KEYUP, "WM_KEYUP"},       {WM_CHAR, "WM_CHAR"},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"}, {WM_SYSKEYUP, "WM_SYSKEYUP"}, {WM_SYSCHAR, "WM_SYSCHAR"},
};

// The name of a value in a table, or the value in hexadecimal.
template <size_t N> std::string NameOf(const NamedValue (&table)[N], UINT_PTR value)
{
    for (const auto& row : table) {
        if (row.value == value) return row.name;
    }
    char text[32];
    snprintf(text, sizeof(text), "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

// The text between double quotes.
std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// "{200, 576, 776}" for the edges of an SB_SETPARTS array.
std::string PartsText(WPARAM count, const int* edges)
{
    std::string text = "{";
    for (WPARAM i = 0; edges && i < count && i < 256; ++i) {
        if (i) text += ", ";
        text += std::to_string(edges[i]);
    }
    return text + "}";
}

// A common-control bitmap by its name, another as {instance, id}.
std::string BitmapText(const TBADDBITMAP* bitmap)
{
    if (!bitmap) return "0";
    if (bitmap->hInst == HINST_COMMCTRL) return NameOf(kCommonBitmaps, bitmap->nID);
    char text[64];
    snprintf(text, sizeof(text), "{%p, %llu}", static_cast<void*>(bitmap->hInst),
             static_cast<unsigned long long>(bitmap->nID));
    return text;
}

// The lParam of a control message as its kind is written.
std::string LParamText(LParamKind kind, WPARAM wParam, LPARAM lParam)
{
    switch (kind) {
    case LParamKind::Number:
        return std::to_string(static_cast<long long>(lParam));
    case LParamKind::Pointer:
        return lParam ? "ptr" : "0";
    case LParamKind::AnsiText:
        return lParam ? Quoted(reinterpret_cast<const char*>(lParam)) : "0";
    case LParamKind::WideText:
        return lParam ? Quoted(AnsiFromWide(reinterpret_cast<const wchar_t*>(lParam))) : "0";
    case LParamKind::Parts:
        return PartsText(wParam, reinterpret_cast<const int*>(lParam));
    case LParamKind::Bitmap:
        return BitmapText(reinterpret_cast<const TBADDBITMAP*>(lParam));
    }
    return "?";
}

// Calls of the view on the browser; "view." entries are the browser's calls on the view.
bool MadeByTheView(const std::string& entry)
{
    return entry.rfind(kViewCallPrefix, 0) != 0;
}

// Matching from text[t] and pattern[p] on; '*' tries every length.
bool MatchFrom(const std::string& text, size_t t, const std::string& pattern, size_t p)
{
    for (; p < pattern.size(); ++p, ++t) {
        if (pattern[p] == '*') {
            for (size_t rest = t; rest <= text.size(); ++rest) {
                if (MatchFrom(text, rest, pattern, p + 1)) return true;
            }
            return false;
        }
        if (t >= text.size() || (pattern[p] != '?' && pattern[p] != text[t])) return false;
    }
    return t == text.size();
}

}  // namespace

std::string AnsiFromWide(const wchar_t* text)
{
    char buffer[520] = "";
    if (text) WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof(buffer), nullptr, nullptr);
    buffer[sizeof(buffer) - 1] = '\0';
    return buffer;
}

bool MatchesPattern(const std::string& text, const std::string& pattern)
{
    return MatchFrom(text, 0, pattern, 0);
}

std::string ControlName(UINT id)
{
    return NameOf(kControls, id);
}

std::string ActivationName(UINT uState)
{
    return NameOf(kActivations, uState);
}

std::string KeyMessageText(const MSG& msg)
{
    char key[32];
    snprintf(key, sizeof(key), "0x%02llX", static_cast<unsigned long long>(msg.wParam));
    return NameOf(kKeyMessages, msg.message) + ", " + key;
}

std::string DescribeControlMsg(UINT id, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const ControlMessageRow* row = nullptr;
    for (const auto& candidate : kControlMessages) {
        if (candidate.uMsg == uMsg) row = &candidate;
    }
    char number[32];
    snprintf(number, sizeof(number), "0x%04X", uMsg);
    const std::string name = row ? row->name : number;
    const LParamKind kind = row ? row->kind : LParamKind::Number;
    return "SendControlMsg(" + ControlName(id) + ", " + name + ", " +
           std::to_string(static_cast<unsigned long long>(wParam)) + ", " + LParamText(kind, wParam, lParam) + ")";
}

// Keeps the entry; in strict mode a call of the view that no pattern matches is a failure.
void BrowserCallLog::Add(std::string entry)
{
    m_entries.push_back(entry);
    if (!m_fStrict || !MadeByTheView(entry) || IsExpected(entry)) return;
    m_unexpected.push_back(entry);
    if (m_failureHook) m_failureHook(entry);
}

std::vector<std::string> BrowserCallLog::Matching(const std::string& pattern) const
{
    std::vector<std::string> found;
    std::copy_if(m_entries.begin(), m_entries.end(), std::back_inserter(found),
                 [&](const std::string& entry) { return MatchesPattern(entry, pattern); });
    return found;
}

bool BrowserCallLog::HasInOrder(const std::vector<std::string>& patterns) const
{
    auto next = patterns.begin();
    for (const auto& entry : m_entries) {
        if (next != patterns.end() && MatchesPattern(entry, *next)) ++next;
    }
    return next == patterns.end();
}

void BrowserCallLog::ExpectOnly(std::vector<std::string> patterns)
{
    m_expected = std::move(patterns);
    m_unexpected.clear();
    m_fStrict = true;
}

bool BrowserCallLog::IsExpected(const std::string& entry) const
{
    return std::any_of(m_expected.begin(), m_expected.end(),
                       [&](const std::string& pattern) { return MatchesPattern(entry, pattern); });
}
