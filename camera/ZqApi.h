// The camera maker's communication library (pelcore.dll), as this extension uses it.
// Every function returns a ComStatus; 0 is success. Sizes are 32-bit unsigned byte
// counts, names are NUL-terminated ANSI 8.3 names of at most 12 characters.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// The library exports these functions; the extension binds them when it first calls one
// (camera/ZqLibrary.cpp), so that it loads, registers and tells that no camera is there on a
// PC where the library is missing.
#define ZQAPI __cdecl

typedef int ComStatus;

// The statuses this extension gives a meaning to.
enum {
    ZQ_STATUS_OK = 0,
    ZQ_STATUS_NOT_READY = 1,
    ZQ_STATUS_NOT_LOCATED = 2,        // link type 0: try link type 1
    ZQ_STATUS_COMM_ERROR = 3,
    ZQ_STATUS_NO_LINK = 6,            // our own: no link could be opened
    ZQ_STATUS_PORT_UNAVAILABLE = 12,  // link type 0: try link type 1
    ZQ_STATUS_IN_USE = 13,
    ZQ_STATUS_ABORTED = 14
};

typedef enum ZqLinkType {
    ZqLinkUsb = 0,     // tried first
    ZqLinkPorts = 1    // the slow search of the serial ports
} ZqLinkType;

// The camera's file names are at most 12 characters; the listing gives 13 bytes a file.
enum { ZQ_NAME_MAX = 12, ZQ_LIST_RECORD = 13, ZQ_FIRMWARE_TEXT = 32, ZQ_SEGMENT_SIZE = 524288 };

typedef int(__cdecl* ZqAbortProc)(void);

ZQAPI ComStatus ZQ_OpenComm(ZqLinkType linkType);
ZQAPI ComStatus ZQ_CloseComm(void);
ZQAPI ComStatus ZQ_SetStatusAbortProc(ZqAbortProc abortProc);
ZQAPI ComStatus ZQ_SetAcquisitionMode(unsigned mode);
ZQAPI ComStatus ZQ_StopAcquisition(void);
ZQAPI ComStatus ZQ_GetNumFiles(unsigned* count);
ZQAPI ComStatus ZQ_GetFiles(char* buffer, unsigned size);
ZQAPI ComStatus ZQ_GetFileSize(const char* name, unsigned* size);
ZQAPI ComStatus ZQ_ReceiveFile(const char* name, unsigned size, unsigned char* buffer);
ZQAPI ComStatus ZQ_GetSegmentedFile(unsigned segmentSize, const char* name);
ZQAPI ComStatus ZQ_GetSegment(unsigned size, unsigned char* buffer);
ZQAPI ComStatus ZQ_PutFile(unsigned size, const unsigned char* data, const char* name);
ZQAPI ComStatus ZQ_PutSegmentedFile(unsigned totalSize, const char* name);
ZQAPI ComStatus ZQ_PutSegment(unsigned size, const unsigned char* data);
ZQAPI ComStatus ZQ_DeleteFile(const char* name);
ZQAPI ComStatus ZQ_GetFirmwareVersion(char* text);
ZQAPI ComStatus ZQ_GetMediaFree(unsigned* freeKiB);

#ifdef __cplusplus
}
#endif
