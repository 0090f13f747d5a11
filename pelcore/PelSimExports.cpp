// The scripting and inspection calls of the simulated camera. Scripting ends demo mode.
#include "pelcore/SimCamera.h"

extern "C" {

void PELSIMAPI PelSim_Reset(void)
{
    TheCamera().Script([](SimCamera& camera) { camera.Reset(); });
}

int PELSIMAPI PelSim_AddFile(const char* name, const unsigned char* data, unsigned size)
{
    return TheCamera().Script([&](SimCamera& camera) { return camera.Store().AddFile(name, data, size) ? 1 : 0; });
}

int PELSIMAPI PelSim_SetFileListing(const char* name, char separator, int sizeReadsZero)
{
    return TheCamera().Script(
        [&](SimCamera& camera) { return camera.Store().SetListing(name, separator, sizeReadsZero != 0) ? 1 : 0; });
}

int PELSIMAPI PelSim_AddRawListingRecord(const char record[12], char separator)
{
    return TheCamera().Script([&](SimCamera& camera) { return camera.Store().AddRawRecord(record, separator) ? 1 : 0; });
}

int PELSIMAPI PelSim_RemoveFile(const char* name)
{
    return TheCamera().Script([&](SimCamera& camera) { return camera.Store().Remove(name) ? 1 : 0; });
}

// Files of the storage in use, as listed (raw records included).
int PELSIMAPI PelSim_FileCount(void)
{
    return TheCamera().Inspect([](SimCamera& camera) {
        std::vector<ListingRecord> records;
        camera.Storage().List(records);
        return static_cast<int>(records.size());
    });
}

int PELSIMAPI PelSim_GetFile(const char* name, unsigned char* buffer, unsigned capacity)
{
    return TheCamera().Inspect([&](SimCamera& camera) {
        unsigned size = 0;
        if (!name || camera.Storage().ContentSize(name, &size) != ZQ_STATUS_OK) return -1;
        const unsigned copied = size < capacity ? size : capacity;
        if (buffer && copied) camera.Storage().Read(name, 0, buffer, copied);
        return static_cast<int>(size);
    });
}

void PELSIMAPI PelSim_SetReportedCount(long long count)
{
    TheCamera().Script([&](SimCamera& camera) { camera.SetReportedCount(count); });
}

void PELSIMAPI PelSim_SetListingEndMark(int byteValue)
{
    TheCamera().Script([&](SimCamera& camera) { camera.SetListingEndMark(byteValue); });
}

void PELSIMAPI PelSim_SetFirmware(const char* text)
{
    TheCamera().Script([&](SimCamera& camera) { camera.SetFirmware(text); });
}

void PELSIMAPI PelSim_SetFirmwareRaw(const char bytes[32])
{
    TheCamera().Script([&](SimCamera& camera) { camera.SetFirmwareRaw(bytes); });
}

void PELSIMAPI PelSim_SetMediaFree(unsigned freeKiB)
{
    TheCamera().Script([&](SimCamera& camera) { camera.Store().SetFree(freeKiB); });
}

unsigned PELSIMAPI PelSim_GetMediaFree(void)
{
    return TheCamera().Inspect([](SimCamera& camera) {
        unsigned freeKiB = 0;
        camera.Storage().MediaFree(&freeKiB);
        return freeKiB;
    });
}

int PELSIMAPI PelSim_IsLinkOpen(void)
{
    return TheCamera().Inspect([](SimCamera& camera) { return camera.IsLinkOpen() ? 1 : 0; });
}

int PELSIMAPI PelSim_HasAbortProc(void)
{
    return TheCamera().Inspect([](SimCamera& camera) { return camera.HasAbortProc() ? 1 : 0; });
}

void PELSIMAPI PelSim_SetLinkTiming(unsigned bytesPerSecond, unsigned callLatencyMs)
{
    TheCamera().Script([&](SimCamera& camera) { camera.SetLinkTiming(LinkTiming(bytesPerSecond, callLatencyMs)); });
}

void PELSIMAPI PelSim_KeepInterruptedWrites(int keep)
{
    TheCamera().Script([&](SimCamera& camera) { camera.KeepInterruptedWrites(keep != 0); });
}

void PELSIMAPI PelSim_SetOpenResult(int linkType, int status, unsigned abortPolls)
{
    TheCamera().Script([&](SimCamera& camera) { camera.SetOpenResult(linkType, status, abortPolls); });
}

void PELSIMAPI PelSim_FailCall(const char* function, unsigned nth, int status, int always)
{
    TheCamera().Script([&](SimCamera& camera) { camera.Failures().Add(function, nth, status, always != 0); });
}

void PELSIMAPI PelSim_ClearFailures(void)
{
    TheCamera().Script([](SimCamera& camera) { camera.Failures().Clear(); });
}

int PELSIMAPI PelSim_LogCount(void)
{
    return TheCamera().Inspect([](SimCamera& camera) { return camera.Log().Count(); });
}

int PELSIMAPI PelSim_LogEntry(int index, PelSimCall* call)
{
    return TheCamera().Inspect([&](SimCamera& camera) { return camera.Log().Entry(index, call) ? 1 : 0; });
}

void PELSIMAPI PelSim_ClearLog(void)
{
    TheCamera().Script([](SimCamera& camera) { camera.Log().Clear(); });
}

void PELSIMAPI PelSim_UseDemoFolderFromRegistry(void)
{
    TheCamera().Inspect([](SimCamera& camera) { camera.AllowDemo(); });
}

}  // extern "C"
