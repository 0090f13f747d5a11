// The camera's files: moving their bytes between the camera and the PC, deleting, opening.
#pragma once
#include <windows.h>
#include "camera/ZqApi.h"

class CameraConnection;
class TempCopyFolder;

// The first firmware major version that reads and writes files of more than one segment.
constexpr int kFirstSegmentedMajor = 4;

// Every operation holds the connection's lock and opens the link when it is closed.
class CameraFileOperations {
public:
    explicit CameraFileOperations(CameraConnection& connection) : m_connection(connection) {}
    CameraFileOperations(const CameraFileOperations&) = delete;
    CameraFileOperations& operator=(const CameraFileOperations&) = delete;

    bool DeleteCameraFile(const char* name);
    bool ReceiveCameraFile(const char* name, DWORD size, BYTE* buffer);
    // Reads the start of a file of size bytes into buffer (room for one segment): the whole
    // file when it fits in one segment, else the first segment of a segmented read that is
    // left unfinished (the link closes at the unit's end). The bytes read; 0 when the read
    // failed (told).
    DWORD ReadFileStart(const char* name, DWORD size, BYTE* buffer);
    ComStatus BeginSegmentedReceive(const char* name, DWORD segmentSize);
    ComStatus ReceiveSegment(DWORD size, BYTE* buffer);
    ComStatus PutCameraFile(const char* name, DWORD size, const BYTE* data);
    ComStatus BeginSegmentedPut(const char* name, DWORD totalSize);
    ComStatus PutSegment(DWORD size, const BYTE* data);
    // Copies into folder, by default the folder that every Open shares.
    bool CopyToTempFile(const char* name, wchar_t* path /* MAX_PATH chars */, bool readOnly, TempCopyFolder* folder = nullptr);
    bool OpenCameraFile(const char* name);

private:
    bool ReadCopySize(const char* name, unsigned* size);
    bool PrepareCopyPath(const char* name, TempCopyFolder& folder, wchar_t* path);
    int FirmwareMajor();
    bool WriteCopy(const char* name, const wchar_t* path, DWORD size, bool readOnly, BYTE* buffer);
    bool ReceiveIntoFile(const char* name, DWORD size, BYTE* buffer, HANDLE file);
    ComStatus ReceiveChunk(const char* name, DWORD chunk, BYTE* buffer, bool segmented, bool firstPass);

    CameraConnection& m_connection;
};
