// The camera's storage held in memory: files in listing order and the free space.
#pragma once
#include "pelcore/CameraStorage.h"

class MemoryStorage : public CameraStorage {
public:
    ComStatus List(std::vector<ListingRecord>& records) const override;
    ComStatus ReportedSize(const char* name, unsigned* size) const override;
    ComStatus ContentSize(const char* name, unsigned* size) const override;
    ComStatus Read(const char* name, unsigned offset, unsigned char* buffer, unsigned size) const override;
    ComStatus CheckFits(const char* name, unsigned size) const override;
    ComStatus Write(const char* name, const unsigned char* data, unsigned size) override;
    ComStatus BeginWrite(const char* name, unsigned size, std::unique_ptr<StorageWriter>& writer) override;
    ComStatus Delete(const char* name) override;
    ComStatus MediaFree(unsigned* freeKiB) const override;

    // Scripting: these leave the free space as it is.
    void Clear();
    bool AddFile(const char* name, const unsigned char* data, unsigned size);
    bool SetListing(const char* name, char separator, bool sizeReadsZero);
    bool AddRawRecord(const char record[ZQ_NAME_MAX], char separator);
    bool Remove(const char* name);
    void SetFree(unsigned freeKiB) { m_freeKiB = freeKiB; }
    unsigned Free() const { return m_freeKiB; }

private:
    struct StoredFile {
        std::string name;                 // the name calls use
        ListingRecord record{};           // the listing's 13 bytes
        bool sizeReadsZero = false;
        bool rawRecord = false;           // listed only: it has no content
        std::vector<unsigned char> data;
    };

    StoredFile* Find(const char* name, bool includeRaw);
    const StoredFile* Find(const char* name, bool includeRaw) const;
    void Append(const char* name, const unsigned char* data, unsigned size);

    std::vector<StoredFile> m_files;
    unsigned m_freeKiB = 65536;
    bool m_fHasRawRecords = false;    // since the last Clear: names may then repeat
    mutable size_t m_iNextGuess = 0;  // the file after the last one found
};
