// Telling the user which PC files did not reach the camera, and why, in one message.
#include "transfer/NotSentFiles.h"
#include "resources/resource.h"

namespace {
// The line that ends a list cut short, and the room it takes with its line break.
const wchar_t kMore[] = L"...";
const int kMoreLineChars = 4;

// Appends text at used (of a buffer with room for it); answers the new length.
int AppendText(wchar_t* buffer, int used, const wchar_t* text, int length)
{
    CopyMemory(buffer + used, text, length * sizeof(wchar_t));
    buffer[used + length] = L'\0';
    return used + length;
}
}  // namespace

// One line a path; room for a closing line "..." stays free until it is needed.
void NotSentFiles::Add(const wchar_t* path)
{
    m_fAny = true;
    if (m_fFull) return;
    const int length = lstrlenW(path);
    m_fFull = m_cchUsed + 1 + length + kMoreLineChars >= kCapacity;  // a line break, the path, "\n..." and the zero
    if (m_cchUsed > 0) m_cchUsed = AppendText(m_names, m_cchUsed, L"\n", 1);
    if (m_fFull) m_cchUsed = AppendText(m_names, m_cchUsed, kMore, kMoreLineChars - 1);
    else m_cchUsed = AppendText(m_names, m_cchUsed, path, length);
}

// Task-modal with the warning icon, the product name as caption (string 1 without one in
// the registry) and the running unit's window as parent, as every message of the connection.
void NotSentFiles::Report(CameraConnection* connection) const
{
    if (!m_fAny || !connection) return;
    connection->Messages().ShowMessageWith(IDS_FILES_NOT_SENT, m_names);
}
