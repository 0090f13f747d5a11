// The library's exported calls: each one is logged and runs against the simulated camera.
#include "pelcore/SimCamera.h"

extern "C" {

ComStatus ZQAPI ZQ_OpenComm(ZqLinkType linkType)
{
    return TheCamera().Call("ZQ_OpenComm", nullptr, 0, linkType, [&] { return TheCamera().Open(linkType); });
}

ComStatus ZQAPI ZQ_CloseComm(void)
{
    return TheCamera().Call("ZQ_CloseComm", nullptr, 0, 0, [&] { return TheCamera().Close(); });
}

ComStatus ZQAPI ZQ_SetStatusAbortProc(ZqAbortProc abortProc)
{
    return TheCamera().Call("ZQ_SetStatusAbortProc", nullptr, 0, 0, [&] { return TheCamera().SetAbortProc(abortProc); });
}

ComStatus ZQAPI ZQ_SetAcquisitionMode(unsigned mode)
{
    return TheCamera().Call("ZQ_SetAcquisitionMode", nullptr, 0, static_cast<int>(mode),
                            [&] { return TheCamera().SetAcquisitionMode(mode); });
}

ComStatus ZQAPI ZQ_StopAcquisition(void)
{
    return TheCamera().Call("ZQ_StopAcquisition", nullptr, 0, 0, [&] { return TheCamera().StopAcquisition(); });
}

ComStatus ZQAPI ZQ_GetNumFiles(unsigned* count)
{
    return TheCamera().Call("ZQ_GetNumFiles", nullptr, 0, 0, [&] { return TheCamera().GetNumFiles(count); });
}

ComStatus ZQAPI ZQ_GetFiles(char* buffer, unsigned size)
{
    return TheCamera().Transfer("ZQ_GetFiles", nullptr, size, [&] { return TheCamera().GetFiles(buffer, size); });
}

ComStatus ZQAPI ZQ_GetFileSize(const char* name, unsigned* size)
{
    return TheCamera().Call("ZQ_GetFileSize", name, 0, 0, [&] { return TheCamera().GetFileSize(name, size); });
}

ComStatus ZQAPI ZQ_ReceiveFile(const char* name, unsigned size, unsigned char* buffer)
{
    return TheCamera().Transfer("ZQ_ReceiveFile", name, size, [&] { return TheCamera().ReceiveFile(name, size, buffer); });
}

ComStatus ZQAPI ZQ_GetSegmentedFile(unsigned segmentSize, const char* name)
{
    return TheCamera().Call("ZQ_GetSegmentedFile", name, segmentSize, 0,
                            [&] { return TheCamera().BeginSegmentedRead(segmentSize, name); });
}

ComStatus ZQAPI ZQ_GetSegment(unsigned size, unsigned char* buffer)
{
    return TheCamera().Transfer("ZQ_GetSegment", nullptr, size, [&] { return TheCamera().ReadSegment(size, buffer); });
}

ComStatus ZQAPI ZQ_PutFile(unsigned size, const unsigned char* data, const char* name)
{
    return TheCamera().Transfer("ZQ_PutFile", name, size, [&] { return TheCamera().PutFile(size, data, name); });
}

ComStatus ZQAPI ZQ_PutSegmentedFile(unsigned totalSize, const char* name)
{
    return TheCamera().Call("ZQ_PutSegmentedFile", name, totalSize, 0,
                            [&] { return TheCamera().BeginSegmentedWrite(totalSize, name); });
}

ComStatus ZQAPI ZQ_PutSegment(unsigned size, const unsigned char* data)
{
    return TheCamera().Transfer("ZQ_PutSegment", nullptr, size, [&] { return TheCamera().WriteSegment(size, data); });
}

ComStatus ZQAPI ZQ_DeleteFile(const char* name)
{
    return TheCamera().Call("ZQ_DeleteFile", name, 0, 0, [&] { return TheCamera().DeleteFile(name); });
}

ComStatus ZQAPI ZQ_GetFirmwareVersion(char* text)
{
    return TheCamera().Call("ZQ_GetFirmwareVersion", nullptr, 0, 0, [&] { return TheCamera().GetFirmwareVersion(text); });
}

ComStatus ZQAPI ZQ_GetMediaFree(unsigned* freeKiB)
{
    return TheCamera().Call("ZQ_GetMediaFree", nullptr, 0, 0, [&] { return TheCamera().GetMediaFree(freeKiB); });
}

}  // extern "C"
