// The camera's listing: its file names as last read, and their sizes asked one by one.
#include "camera/CameraListing.h"
#include "camera/CameraMessages.h"
#include "camera/ZqApi.h"
#include "base/Raii.h"

namespace {
// More files than this is not a listing a camera can hold: the count is taken as garbage.
const unsigned kMaxListedFiles = 65535;
}  // namespace

// The next file with its size; false at the end, when the camera fails (told) or when the
// file is gone (told once while listings keep meeting it).
bool CameraListing::Next(CameraFileEntry* entry, bool first)
{
    if (!Advance(first)) return false;
    const char* name = Name(m_iCurrent);
    entry->pszName = name;
    unsigned size = 0;
    const ComStatus status = ZQ_GetFileSize(name, &size);
    if (status != ZQ_STATUS_OK) {
        m_messages.ReportComStatus(status);
        return false;
    }
    entry->dwSize = size;
    if (size != 0) return true;
    // The refresh this news asks for meets the same file again: the user hears of it once.
    m_messages.ReportGoneWhileListing();
    return false;
}

// Moves to the first record (reading the listing) or the next; false when there is none.
bool CameraListing::Advance(bool first)
{
    if (first) {
        if (!Fetch() || m_cFiles == 0) return false;
        m_iCurrent = 0;
        return true;
    }
    if (!m_pFileList || m_iCurrent + 1 >= m_cFiles) {
        m_messages.ListingEndedWell();  // a listing that reached its end met no gone file
        return false;
    }
    ++m_iCurrent;
    return true;
}

// Asks the camera for the count, then for the names.
bool CameraListing::Fetch()
{
    unsigned count = 0;
    const ComStatus status = ZQ_GetNumFiles(&count);
    if (status != ZQ_STATUS_OK) {
        m_messages.ReportComStatus(status);
        return false;
    }
    Free();
    if (count == 0) {
        m_messages.ListingEndedWell();
        return true;
    }
    if (count > kMaxListedFiles) {
        m_messages.ReportComStatus(ZQ_STATUS_COMM_ERROR);
        return false;
    }
    return ReadNames(count);
}

// Reads count records of names into a new buffer that ends in its end mark.
bool CameraListing::ReadNames(unsigned count)
{
    const size_t bytes = static_cast<size_t>(count) * ZQ_LIST_RECORD + 1;
    MallocPtr<char> list(m_pMalloc, static_cast<char*>(m_pMalloc->Alloc(bytes)));
    if (!list) {
        m_messages.ReportTransferError(kTransferNoMemory);
        return false;
    }
    ZeroMemory(list.Get(), bytes);
    const ComStatus status = ZQ_GetFiles(list.Get(), static_cast<unsigned>(bytes));
    if (status != ZQ_STATUS_OK) {
        m_messages.ReportComStatus(status);
        return false;
    }
    // Every name field ends at its separator byte, and the list at its end mark, whatever the camera wrote.
    for (unsigned i = 0; i < count; ++i) list.Get()[static_cast<size_t>(i) * ZQ_LIST_RECORD + ZQ_NAME_MAX] = '\0';
    list.Get()[bytes - 1] = '\0';
    Free();
    m_pFileList = list.Release();
    m_cFiles = CountNamedRecords(m_pFileList, count);
    if (m_cFiles == 0) Free();
    return true;
}

// The listing ends at its first record without a name: what follows is not a file.
DWORD CameraListing::CountNamedRecords(const char* list, DWORD count)
{
    DWORD named = 0;
    while (named < count && list[static_cast<size_t>(named) * ZQ_LIST_RECORD] != '\0') ++named;
    return named;
}

// The name in record index (below Count()).
const char* CameraListing::Name(DWORD index) const
{
    return m_pFileList + static_cast<size_t>(index) * ZQ_LIST_RECORD;
}

// Frees the listing buffer, if any.
void CameraListing::Free()
{
    if (m_pFileList && m_pMalloc) m_pMalloc->Free(m_pFileList);
    m_pFileList = nullptr;
    m_cFiles = 0;
    m_iCurrent = 0;
}
