// The in-memory storage of the simulated camera.
#include "pelcore/MemoryStorage.h"
#include <algorithm>
#include <cstring>
#include <new>

namespace {

// A record's name field as calls name it: up to its first zero byte, at most 12 bytes.
std::string NameOfRecord(const ListingRecord& record)
{
    const char* end = static_cast<const char*>(memchr(record.name, 0, ZQ_NAME_MAX));
    return std::string(record.name, end ? end : record.name + ZQ_NAME_MAX);
}

bool IsValidName(const char* name)
{
    if (!name) return false;
    const size_t length = strnlen(name, ZQ_NAME_MAX + 1);
    return length > 0 && length <= ZQ_NAME_MAX;
}

// Gathers a file's pieces in memory (the camera's memory) and stores them whole at the end.
class MemoryWriter : public StorageWriter {
public:
    MemoryWriter(MemoryStorage& storage, const char* name, unsigned size) : m_storage(storage), m_name(name)
    {
        m_data.reserve(size);
    }
    ComStatus Append(const unsigned char* data, unsigned size) override
    {
        m_data.insert(m_data.end(), data, data + size);
        return ZQ_STATUS_OK;
    }
    ComStatus Commit() override
    {
        return m_storage.Write(m_name.c_str(), m_data.data(), static_cast<unsigned>(m_data.size()));
    }

private:
    MemoryStorage& m_storage;
    std::string m_name;
    std::vector<unsigned char> m_data;
};

}  // namespace

// The first file of the name; raw records count only when asked for.
MemoryStorage::StoredFile* MemoryStorage::Find(const char* name, bool includeRaw)
{
    return const_cast<StoredFile*>(static_cast<const MemoryStorage*>(this)->Find(name, includeRaw));
}

const MemoryStorage::StoredFile* MemoryStorage::Find(const char* name, bool includeRaw) const
{
    // A listing asks for its files in order: without raw records every name is unique, so
    // the file after the last one found is the first of its name when its name matches.
    if (!m_fHasRawRecords && m_iNextGuess < m_files.size() && m_files[m_iNextGuess].name == name)
        return &m_files[m_iNextGuess++];
    for (size_t i = 0; i < m_files.size(); ++i) {
        const StoredFile& file = m_files[i];
        if ((!includeRaw && file.rawRecord) || file.name != name) continue;
        m_iNextGuess = i + 1;
        return &file;
    }
    return nullptr;
}

// Adds a file at the end of the listing, with a blank separator.
void MemoryStorage::Append(const char* name, const unsigned char* data, unsigned size)
{
    StoredFile file;
    file.name = name;
    memcpy(file.record.name, name, file.name.size());
    file.record.separator = ' ';
    if (size) file.data.assign(data, data + size);
    m_files.push_back(std::move(file));
}

// The listing records in the order the files were added.
ComStatus MemoryStorage::List(std::vector<ListingRecord>& records) const
{
    records.clear();
    for (const StoredFile& file : m_files) records.push_back(file.record);
    return ZQ_STATUS_OK;
}

// The size the camera reports: 0 for raw records and files scripted to read as 0.
ComStatus MemoryStorage::ReportedSize(const char* name, unsigned* size) const
{
    const StoredFile* file = Find(name, true);
    if (!file) return PELSIM_STATUS_NO_SUCH_FILE;
    *size = (file->rawRecord || file->sizeReadsZero) ? 0 : static_cast<unsigned>(file->data.size());
    return ZQ_STATUS_OK;
}

// The bytes a read delivers.
ComStatus MemoryStorage::ContentSize(const char* name, unsigned* size) const
{
    const StoredFile* file = Find(name, true);
    if (!file) return PELSIM_STATUS_NO_SUCH_FILE;
    *size = static_cast<unsigned>(file->data.size());
    return ZQ_STATUS_OK;
}

// Copies part of a file's content; the range must lie inside the file.
ComStatus MemoryStorage::Read(const char* name, unsigned offset, unsigned char* buffer, unsigned size) const
{
    const StoredFile* file = Find(name, true);
    if (!file) return PELSIM_STATUS_NO_SUCH_FILE;
    if (static_cast<unsigned long long>(offset) + size > file->data.size()) return PELSIM_STATUS_BAD_ARGUMENT;
    if (size) memcpy(buffer, file->data.data() + offset, size);
    return ZQ_STATUS_OK;
}

// Whether the free space (and the space of the file replaced) holds the size.
ComStatus MemoryStorage::CheckFits(const char* name, unsigned size) const
{
    const StoredFile* existing = Find(name, false);
    const unsigned long long available =
        m_freeKiB + (existing ? SizeInKiB(static_cast<unsigned>(existing->data.size())) : 0);
    return OkOr(SizeInKiB(size) <= available, PELSIM_STATUS_MEDIA_FULL);
}

// Stores a whole file and takes its space from the free space.
ComStatus MemoryStorage::Write(const char* name, const unsigned char* data, unsigned size)
{
    const ComStatus fits = CheckFits(name, size);
    if (fits != ZQ_STATUS_OK) return fits;
    unsigned long long freeKiB = m_freeKiB;
    if (StoredFile* existing = Find(name, false)) {
        freeKiB += SizeInKiB(static_cast<unsigned>(existing->data.size()));
        existing->data.assign(data, data + size);
    } else {
        Append(name, data, size);
    }
    m_freeKiB = CapKiB(freeKiB - SizeInKiB(size));
    return ZQ_STATUS_OK;
}

// A writer that stores the file when it is complete.
ComStatus MemoryStorage::BeginWrite(const char* name, unsigned size, std::unique_ptr<StorageWriter>& writer)
{
    writer.reset(new (std::nothrow) MemoryWriter(*this, name, size));
    return OkOr(writer != nullptr, PELSIM_STATUS_IO_ERROR);
}

// Removes a file (or a raw record) and gives its space back.
ComStatus MemoryStorage::Delete(const char* name)
{
    const StoredFile* file = Find(name, true);
    if (!file) return PELSIM_STATUS_NO_SUCH_FILE;
    m_freeKiB = CapKiB(m_freeKiB + SizeInKiB(static_cast<unsigned>(file->data.size())));
    m_files.erase(m_files.begin() + (file - m_files.data()));
    return ZQ_STATUS_OK;
}

ComStatus MemoryStorage::MediaFree(unsigned* freeKiB) const
{
    *freeKiB = m_freeKiB;
    return ZQ_STATUS_OK;
}

// Empties the camera; the free space is scripted separately.
void MemoryStorage::Clear()
{
    m_files.clear();
    m_fHasRawRecords = false;
}

// Adds a file, or replaces the content of one of the same name.
bool MemoryStorage::AddFile(const char* name, const unsigned char* data, unsigned size)
{
    if (!IsValidName(name) || (size && !data)) return false;
    if (StoredFile* existing = Find(name, false)) {
        existing->data.assign(data, data + size);
        return true;
    }
    Append(name, data, size);
    return true;
}

// Changes how a file shows in the listing and what size it reads as.
bool MemoryStorage::SetListing(const char* name, char separator, bool sizeReadsZero)
{
    if (!IsValidName(name)) return false;
    StoredFile* file = Find(name, true);
    if (!file) return false;
    file->record.separator = separator;
    file->sizeReadsZero = sizeReadsZero;
    return true;
}

// A listing record as it stands, with no content behind it.
bool MemoryStorage::AddRawRecord(const char record[ZQ_NAME_MAX], char separator)
{
    if (!record) return false;
    StoredFile file;
    memcpy(file.record.name, record, ZQ_NAME_MAX);
    file.record.separator = separator;
    file.name = NameOfRecord(file.record);
    file.rawRecord = true;
    m_files.push_back(std::move(file));
    m_fHasRawRecords = true;
    return true;
}

// Takes a file out without touching the free space.
bool MemoryStorage::Remove(const char* name)
{
    if (!IsValidName(name)) return false;
    const StoredFile* file = Find(name, true);
    if (!file) return false;
    m_files.erase(m_files.begin() + (file - m_files.data()));
    return true;
}
