// Where the camera's files live: in memory for tests, or a PC folder for the demo.
#pragma once
#include <memory>
#include <new>
#include <string>
#include "pelcore/SimApi.h"

// One 13-byte record of the camera's listing: the name field and the separator after it.
struct ListingRecord {
    char name[ZQ_NAME_MAX];
    char separator;
};

// One file being written, a piece at a time. The bytes go where the storage keeps them as
// they come; the file takes its name only when Commit succeeds. A writer destroyed without
// a successful Commit drops what it was given.
class StorageWriter {
public:
    virtual ~StorageWriter() = default;
    virtual ComStatus Append(const unsigned char* data, unsigned size) = 0;
    // Stores the file, replacing one of the same name; nothing is stored on failure.
    virtual ComStatus Commit() = 0;
};

// One file being read a piece at a time, from its start on. The storage may keep the file at
// hand between pieces (a PC file stays open instead of being found and opened for each).
class StorageReader {
public:
    virtual ~StorageReader() = default;
    // Copies the next size bytes of the file.
    virtual ComStatus ReadNext(unsigned char* buffer, unsigned size) = 0;
};

class CameraStorage {
public:
    virtual ~CameraStorage() = default;

    // The listing, one record a file, in the camera's order.
    virtual ComStatus List(std::vector<ListingRecord>& records) const = 0;
    // The size ZQ_GetFileSize reports (0 for a file that reads as not available).
    virtual ComStatus ReportedSize(const char* name, unsigned* size) const = 0;
    // The number of bytes a read of the file delivers.
    virtual ComStatus ContentSize(const char* name, unsigned* size) const = 0;
    // Copies size bytes of the file from offset.
    virtual ComStatus Read(const char* name, unsigned offset, unsigned char* buffer, unsigned size) const = 0;
    // Whether a file of this size fits, counting the space of a file of the name it replaces.
    virtual ComStatus CheckFits(const char* name, unsigned size) const = 0;
    // Stores the whole file, replacing one of the same name; nothing is stored on failure.
    virtual ComStatus Write(const char* name, const unsigned char* data, unsigned size) = 0;
    // Starts writing a file of size bytes under name (whether it fits is asked separately).
    virtual ComStatus BeginWrite(const char* name, unsigned size, std::unique_ptr<StorageWriter>& writer) = 0;
    // Starts reading a file a piece at a time; by default each piece is a Read at its offset.
    virtual ComStatus BeginRead(const char* name, std::unique_ptr<StorageReader>& reader);
    virtual ComStatus Delete(const char* name) = 0;
    virtual ComStatus MediaFree(unsigned* freeKiB) const = 0;
};

// Reads each piece by name at the offset where the last one ended.
class OffsetReader : public StorageReader {
public:
    OffsetReader(const CameraStorage& storage, const char* name) : m_storage(storage), m_name(name) {}
    ComStatus ReadNext(unsigned char* buffer, unsigned size) override
    {
        const ComStatus status = m_storage.Read(m_name.c_str(), m_offset, buffer, size);
        if (status == ZQ_STATUS_OK) m_offset += size;
        return status;
    }

private:
    const CameraStorage& m_storage;
    std::string m_name;
    unsigned m_offset = 0;
};

inline ComStatus CameraStorage::BeginRead(const char* name, std::unique_ptr<StorageReader>& reader)
{
    reader.reset(new (std::nothrow) OffsetReader(*this, name));
    return OkOr(reader != nullptr, PELSIM_STATUS_IO_ERROR);
}
