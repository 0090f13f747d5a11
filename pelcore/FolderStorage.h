// The camera's storage played by a PC folder (demo mode): its files of at most 12
// characters are the camera's files. File bytes go straight between the PC file and the
// caller's buffer, a segment at a time; nothing holds a whole file in memory.
#pragma once
#include "pelcore/CameraStorage.h"

class FolderStorage : public CameraStorage {
public:
    explicit FolderStorage(std::string folder) : m_folder(std::move(folder)) {}

    // Whether the folder is there to play the camera.
    bool Exists() const;

    ComStatus List(std::vector<ListingRecord>& records) const override;
    ComStatus ReportedSize(const char* name, unsigned* size) const override;
    ComStatus ContentSize(const char* name, unsigned* size) const override;
    ComStatus Read(const char* name, unsigned offset, unsigned char* buffer, unsigned size) const override;
    ComStatus CheckFits(const char* name, unsigned size) const override;
    // The bytes go to a new file beside the target, which takes the target's name at the end.
    ComStatus Write(const char* name, const unsigned char* data, unsigned size) override;
    ComStatus BeginWrite(const char* name, unsigned size, std::unique_ptr<StorageWriter>& writer) override;
    // The PC file stays open from the first piece to the last.
    ComStatus BeginRead(const char* name, std::unique_ptr<StorageReader>& reader) override;
    ComStatus Delete(const char* name) override;
    ComStatus MediaFree(unsigned* freeKiB) const override;

    // A name that can stand for a file of the folder and nothing else.
    static bool IsPlainName(const char* name);

private:
    // The folder's path joined with a name, unchecked.
    std::string Join(const char* name) const;
    // The PC path of a camera name; false when the name is not a plain file name, or when
    // the path reaches another file of the folder through that file's short name.
    bool PathOf(const char* name, std::string& path) const;
    // A path for the bytes of a file being written: a name too long for the listing.
    std::string NewPartPath() const;

    std::string m_folder;
};
