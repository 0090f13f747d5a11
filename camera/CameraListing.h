// The camera's listing: its file names as last read, and their sizes asked one by one.
#pragma once
#include <windows.h>
#include <objidl.h>

class CameraMessages;

// One file of the camera's listing.
struct CameraFileEntry {
    DWORD dwSize;         // bytes, as the camera reports them
    const char* pszName;  // inside the listing buffer; valid until the next first call
};

// The names the camera gives, 13-byte records in the shell's memory. Its calls run inside the
// connection's lock on an open link; every failure is told through messages.
class CameraListing {
public:
    CameraListing(IMalloc* allocator, CameraMessages& messages) : m_pMalloc(allocator), m_messages(messages) {}
    ~CameraListing() { Free(); }
    CameraListing(const CameraListing&) = delete;
    CameraListing& operator=(const CameraListing&) = delete;

    // Yields the camera's files one by one; the first call reads the listing anew.
    bool Next(CameraFileEntry* entry, bool first);
    // Reads the count and the names. True when the listing was read, also when it holds no
    // file; false (told) when it could not be read.
    bool Fetch();
    DWORD Count() const { return m_cFiles; }
    const char* Name(DWORD index) const;
    void Free();

private:
    bool Advance(bool first);
    bool ReadNames(unsigned count);
    static DWORD CountNamedRecords(const char* list, DWORD count);

    IMalloc* m_pMalloc;            // not owned: the connection holds it
    CameraMessages& m_messages;
    char* m_pFileList = nullptr;   // the last listing: count x 13 bytes + end mark
    DWORD m_cFiles = 0;            // records in m_pFileList
    DWORD m_iCurrent = 0;          // record that the last entry's name points at
};
