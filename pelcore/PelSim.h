// Scripting and inspection of the simulated camera behind pelcore.dll.
// Only tests and the demo use these; the extension imports nothing but ZQ_*.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#ifdef PELCORE_BUILDING
#define PELSIMAPI __cdecl
#else
#define PELSIMAPI __declspec(dllimport) __cdecl
#endif

// One call the camera saw, in order. Fields a function does not take stay 0/empty.
typedef struct PelSimCall {
    char function[32];   // "ZQ_OpenComm", ...
    char name[16];       // the file name passed (cut to 15 characters)
    unsigned size;       // size, segment size or total size passed
    int arg;             // link type of ZQ_OpenComm, mode of ZQ_SetAcquisitionMode
    int status;          // what the call returned
} PelSimCall;

// Back to a fresh camera: no files, link closed, no abort callback, firmware "4.0.1",
// 65536 KiB free, both link types open at once, no scripted failures, empty log,
// demo folder off.
PELSIMAPI void PelSim_Reset(void);

// Files. A name is at most 12 characters. separator is the byte the listing puts
// after the 12-byte name field (normally ' ' or '*'); sizeReadsZero makes
// ZQ_GetFileSize report 0 for the file.
PELSIMAPI int PelSim_AddFile(const char* name, const unsigned char* data, unsigned size);
PELSIMAPI int PelSim_SetFileListing(const char* name, char separator, int sizeReadsZero);
// A listing record written as it stands (12 bytes, no terminator needed): for
// hostile names that the camera could send. The file has no content.
PELSIMAPI int PelSim_AddRawListingRecord(const char record[12], char separator);
PELSIMAPI int PelSim_RemoveFile(const char* name);
PELSIMAPI int PelSim_FileCount(void);
// Copies up to capacity bytes of a file's content; returns its size, or -1 when absent.
PELSIMAPI int PelSim_GetFile(const char* name, unsigned char* buffer, unsigned capacity);
// Reports this count from ZQ_GetNumFiles instead of the real one (-1: the real one).
PELSIMAPI void PelSim_SetReportedCount(long long count);
// Writes this byte as the listing's end mark instead of 0x00 (-1: 0x00).
PELSIMAPI void PelSim_SetListingEndMark(int byteValue);

// Camera state.
PELSIMAPI void PelSim_SetFirmware(const char* text);
// The 32 bytes ZQ_GetFirmwareVersion writes, as they stand (no terminator needed).
PELSIMAPI void PelSim_SetFirmwareRaw(const char bytes[32]);
PELSIMAPI void PelSim_SetMediaFree(unsigned freeKiB);
PELSIMAPI unsigned PelSim_GetMediaFree(void);
PELSIMAPI int PelSim_IsLinkOpen(void);
PELSIMAPI int PelSim_HasAbortProc(void);

// Connecting. status is what ZQ_OpenComm(linkType) returns. abortPolls > 0 makes the
// open slow: it calls the abort callback that many times (a few ms apart) first and
// fails with 14 as soon as the callback returns non-zero.
PELSIMAPI void PelSim_SetOpenResult(int linkType, int status, unsigned abortPolls);

// Makes the nth call (1-based, counted from now) of a function fail with status;
// always != 0 keeps failing every call from the nth on.
PELSIMAPI void PelSim_FailCall(const char* function, unsigned nth, int status, int always);
PELSIMAPI void PelSim_ClearFailures(void);

// The call log.
PELSIMAPI int PelSim_LogCount(void);
PELSIMAPI int PelSim_LogEntry(int index, PelSimCall* call);
PELSIMAPI void PelSim_ClearLog(void);

#ifdef __cplusplus
}
#endif
