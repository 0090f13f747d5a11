#include "DialogTemplate.h"
#include <cstring>

namespace {

// A bounded cursor over the template's bytes; every read fails once past the end.
class TemplateCursor {
public:
    TemplateCursor(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }

    template <typename T> T Read()
    {
        T value{};
        if (!m_ok || m_offset + sizeof(T) > m_size) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_data + m_offset, sizeof(T));
        m_offset += sizeof(T);
        return value;
    }

    std::wstring ReadString()
    {
        std::wstring text;
        for (WCHAR ch = Read<WCHAR>(); m_ok && ch != L'\0'; ch = Read<WCHAR>()) text += ch;
        return text;
    }

    TemplateName ReadName()
    {
        TemplateName name;
        const WORD first = Read<WORD>();
        if (first == 0xFFFF) {
            name.ordinal = Read<WORD>();
        } else if (first != 0) {
            name.text.assign(1, static_cast<WCHAR>(first));
            name.text += ReadString();
        }
        return name;
    }

    void AlignToDword() { m_offset = (m_offset + 3) & ~static_cast<size_t>(3); }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_ok = true;
};

void ReadFont(TemplateCursor& cursor, DialogTemplate* pDialog)
{
    pDialog->pointSize = cursor.Read<WORD>();
    if (pDialog->extended) {
        cursor.Read<WORD>();  // weight
        cursor.Read<BYTE>();  // italic
        cursor.Read<BYTE>();  // character set
    }
    pDialog->typeface = cursor.ReadString();
}

TemplateControl ReadControl(TemplateCursor& cursor, bool extended)
{
    TemplateControl control;
    cursor.AlignToDword();
    if (extended) {
        cursor.Read<DWORD>();  // help id
        control.exStyle = cursor.Read<DWORD>();
        control.style = cursor.Read<DWORD>();
    } else {
        control.style = cursor.Read<DWORD>();
        control.exStyle = cursor.Read<DWORD>();
    }
    control.x = cursor.Read<short>();
    control.y = cursor.Read<short>();
    control.cx = cursor.Read<short>();
    control.cy = cursor.Read<short>();
    control.id = extended ? cursor.Read<DWORD>() : cursor.Read<WORD>();
    control.windowClass = cursor.ReadName();
    control.text = cursor.ReadName();
    const WORD extra = cursor.Read<WORD>();
    for (WORD i = 0; i < extra; ++i) cursor.Read<BYTE>();
    return control;
}

}  // namespace

bool ReadDialogTemplate(HMODULE module, WORD id, DialogTemplate* pDialog)
{
    if (!module || !pDialog) return false;
    HRSRC hResource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!hResource) return false;
    HGLOBAL hData = LoadResource(module, hResource);
    const BYTE* data = hData ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
    if (!data) return false;

    TemplateCursor cursor(data, SizeofResource(module, hResource));
    *pDialog = DialogTemplate{};
    pDialog->extended = cursor.Read<WORD>() == 1 && cursor.Read<WORD>() == 0xFFFF;
    if (pDialog->extended) {
        cursor.Read<DWORD>();  // help id
        pDialog->exStyle = cursor.Read<DWORD>();
        pDialog->style = cursor.Read<DWORD>();
    } else {
        cursor = TemplateCursor(data, SizeofResource(module, hResource));
        pDialog->style = cursor.Read<DWORD>();
        pDialog->exStyle = cursor.Read<DWORD>();
    }
    const WORD count = cursor.Read<WORD>();
    pDialog->x = cursor.Read<short>();
    pDialog->y = cursor.Read<short>();
    pDialog->cx = cursor.Read<short>();
    pDialog->cy = cursor.Read<short>();
    pDialog->menu = cursor.ReadName();
    pDialog->windowClass = cursor.ReadName();
    pDialog->caption = cursor.ReadString();
    if (pDialog->style & DS_SETFONT) ReadFont(cursor, pDialog);
    for (WORD i = 0; i < count && cursor.Ok(); ++i) pDialog->controls.push_back(ReadControl(cursor, pDialog->extended));
    return cursor.Ok();
}
