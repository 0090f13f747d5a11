// Where the camera's files live: in memory for tests, or a PC folder for the demo.
#pragma once
#include <memory>
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
    virtual ComStatus Delete(const char* name) = 0;
    virtual ComStatus MediaFree(unsigned* freeKiB) const = 0;
};
