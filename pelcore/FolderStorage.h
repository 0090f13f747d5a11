// The camera's storage played by a PC folder (demo mode): its files of at most 12
// characters are the camera's files.
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
    ComStatus Write(const char* name, const unsigned char* data, unsigned size) override;
    ComStatus Delete(const char* name) override;
    ComStatus MediaFree(unsigned* freeKiB) const override;

    // A name that can stand for a file of the folder and nothing else.
    static bool IsPlainName(const char* name);

private:
    // The folder's path joined with a name, unchecked.
    std::string Join(const char* name) const;
    // The PC path of a camera name; false when the name is not a plain file name.
    bool PathOf(const char* name, std::string& path) const;

    std::string m_folder;
};
