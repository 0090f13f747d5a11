// Scripting and inspection of the simulated camera behind pelcore.dll.
// Only tests and the demo use these; the extension imports nothing but ZQ_*.
//
// The camera keeps to its contract and fails loudly on misuse:
// - While the link is closed every call but ZQ_OpenComm and ZQ_SetStatusAbortProc fails
//   with PELSIM_STATUS_LINK_CLOSED (ZQ_GetMediaFree, ZQ_GetFirmwareVersion,
//   ZQ_SetAcquisitionMode and ZQ_CloseComm included).
// - ZQ_OpenComm while the link is open (or from inside a slow open) fails with
//   ZQ_STATUS_IN_USE (13) and leaves the link open.
// - Null pointers, names of 0 or more than 12 characters, a mode other than 0, a link type
//   other than 0 or 1, a ZQ_GetFiles size other than count x 13 + 1, a ZQ_ReceiveFile size
//   other than the file's whole size, a segment size other than 524288 for
//   ZQ_GetSegmentedFile and a total of 0 for ZQ_PutSegmentedFile fail with
//   PELSIM_STATUS_BAD_ARGUMENT and change nothing.
// - A segment without an open segmented transfer, or of a size other than 524288 (the last:
//   the remainder), fails with PELSIM_STATUS_OUT_OF_SEQUENCE and ends the transfer. A new
//   ZQ_GetSegmentedFile/ZQ_PutSegmentedFile or ZQ_CloseComm drops an unfinished one; a
//   segmented write stores its file only with its last segment.
// - A name the camera does not hold fails with PELSIM_STATUS_NO_SUCH_FILE.
// - A write that does not fit the free space fails with PELSIM_STATUS_MEDIA_FULL and stores
//   nothing. Writing a file takes its size in KiB (rounded up) from the free space, deleting
//   gives it back; a file written over an existing one gives the old one's space back first.
// - Names are matched exactly (case included). A raw listing record reads as size 0.
// - ZQ_SetStatusAbortProc(NULL) removes the callback. Slow opens call it, and so does any
//   call the link's timing makes long, at least every 50 ms; a call it stops fails with
//   ZQ_STATUS_ABORTED (14), does nothing and drops a segmented transfer in progress.
// - The log lists calls in the order they began: a call made from inside the abort
//   callback comes after the open that runs the callback.
//
// Demo mode: when HKEY_CURRENT_USER "Software\Lumora Camera Simulator" holds the REG_SZ
// value "StorageFolder", the camera's storage is that PC folder (its files of at most 12
// characters), read when the link opens; a missing folder makes ZQ_OpenComm fail with
// ZQ_STATUS_NOT_LOCATED. The optional REG_DWORD values "BytesPerSecond" and "CallLatencyMs"
// give the link's timing, as PelSim_SetLinkTiming does for the memory camera.
// File bytes go between the PC file and the caller a segment at a time, whole-file calls
// too; a file being written waits in a part file beside it (a name too long for the
// listing) and takes its name, replacing an older file, only when complete; a dropped
// write removes the part file. Names that are not plain file names (path separators, ':',
// "..", device names, the short name of a longer-named PC file of the folder) fail with
// PELSIM_STATUS_BAD_ARGUMENT; a PC file that cannot be read or written gives
// PELSIM_STATUS_IO_ERROR. Every scripting call below (not the inspection calls) turns demo
// mode off for the rest of the process; PelSim_UseDemoFolderFromRegistry turns it on again.
//
// Functions returning int as a truth value return 1 when done, 0 when refused.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#ifdef PELCORE_BUILDING
#define PELSIMAPI __cdecl
#else
#define PELSIMAPI __declspec(dllimport) __cdecl
#endif

// The statuses the simulated camera chooses for misuse (see above). Plain constants, so
// that they mix with the ZQ_STATUS_ values in one expression.
static const int PELSIM_STATUS_LINK_CLOSED = 1;
static const int PELSIM_STATUS_BAD_ARGUMENT = 4;
static const int PELSIM_STATUS_OUT_OF_SEQUENCE = 5;
static const int PELSIM_STATUS_MEDIA_FULL = 7;
static const int PELSIM_STATUS_IO_ERROR = 8;     // a PC file failed, or no memory for the bytes
static const int PELSIM_STATUS_NO_SUCH_FILE = 20;

// One call the camera saw, in order. Fields a function does not take stay 0/empty.
typedef struct PelSimCall {
    char function[32];   // "ZQ_OpenComm", ...
    char name[16];       // the file name passed (cut to 15 characters)
    unsigned size;       // size, segment size or total size passed
    int arg;             // link type of ZQ_OpenComm, mode of ZQ_SetAcquisitionMode
    int status;          // what the call returned
    unsigned long thread;  // the id of the thread that made the call
} PelSimCall;

// Back to a fresh camera: no files, link closed, no abort callback, firmware "4.0.1",
// 65536 KiB free, both link types open at once, no scripted failures, empty log,
// demo folder off.
PELSIMAPI void PelSim_Reset(void);

// Files. A name is 1 to 12 characters (any bytes: hostile names are allowed); adding an
// existing name replaces its content. Scripting files leaves the free space as it is. separator is the byte the listing puts
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

// Camera state. The inspection calls (PelSim_FileCount, PelSim_GetFile,
// PelSim_GetMediaFree, PelSim_IsLinkOpen, PelSim_HasAbortProc, PelSim_LogCount,
// PelSim_LogEntry) see the demo folder while it is in use and do not end demo mode.
PELSIMAPI void PelSim_SetFirmware(const char* text);
// The 32 bytes ZQ_GetFirmwareVersion writes, as they stand (no terminator needed).
PELSIMAPI void PelSim_SetFirmwareRaw(const char bytes[32]);
PELSIMAPI void PelSim_SetMediaFree(unsigned freeKiB);
PELSIMAPI unsigned PelSim_GetMediaFree(void);
PELSIMAPI int PelSim_IsLinkOpen(void);
PELSIMAPI int PelSim_HasAbortProc(void);

// Connecting. status is what ZQ_OpenComm(linkType) returns. abortPolls > 0 makes the
// open slow: it calls the abort callback that many times (a few ms apart) first and
// fails with 14 as soon as the callback returns non-zero; without a callback it just waits.
PELSIMAPI void PelSim_SetOpenResult(int linkType, int status, unsigned abortPolls);

// The link's timing: every call first waits callLatencyMs, and the calls that move bytes
// (ZQ_GetFiles, ZQ_ReceiveFile, ZQ_GetSegment, ZQ_PutFile, ZQ_PutSegment) also their size at
// bytesPerSecond, before they do their work. 0 for either: no wait for that part. Kept until
// PelSim_Reset; the demo folder uses its registry values instead.
PELSIMAPI void PelSim_SetLinkTiming(unsigned bytesPerSecond, unsigned callLatencyMs);

// A camera that stores what arrived of a segmented write that ends early (a call that was
// stopped, another transfer, the link closed), as a file of its name; keep 0 (the default
// after PelSim_Reset) stores nothing of it.
PELSIMAPI void PelSim_KeepInterruptedWrites(int keep);

// Makes the nth call (1-based, counted from now) of a function ("ZQ_GetSegment", ...) fail
// with status, without doing its work; always != 0 keeps failing every call from the nth on.
// The failing call is logged with the scripted status.
PELSIMAPI void PelSim_FailCall(const char* function, unsigned nth, int status, int always);
PELSIMAPI void PelSim_ClearFailures(void);

// The call log.
PELSIMAPI int PelSim_LogCount(void);
PELSIMAPI int PelSim_LogEntry(int index, PelSimCall* call);
PELSIMAPI void PelSim_ClearLog(void);

// Turns demo mode on again after scripting calls turned it off: the next successful
// ZQ_OpenComm reads the registry values above. The DLL starts with demo mode on.
PELSIMAPI void PelSim_UseDemoFolderFromRegistry(void);

#ifdef __cplusplus
}
#endif
