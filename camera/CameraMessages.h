// What the user is told of a failure: the connection's warning boxes, their texts and codes.
#pragma once
#include <windows.h>
#include "camera/ZqApi.h"

class CameraConnection;

// The extension's own transfer failures; each shows message 2000 + its code.
enum TransferError : int {
    kTransferNoMemory = 0,            // the PC's memory ran out
    kTransferCopyFailed = 2,          // a temporary copy could not be made or written
    kTransferFileNotAvailable = 3,    // no text: the not-available message, then a new listing
    kTransferCameraFull = 4,          // the camera's memory is full
};

// Private codes of ReportShellError, beside the results of ShellExecute.
constexpr UINT_PTR kShellOutOfMemory = 0xFFA0;       // message 2000
constexpr UINT_PTR kShellLargeFileRefused = 0xFFA1;  // message 2005: the firmware takes no segments

// Every box is task-modal with the warning icon, the product name as caption, and the running
// unit's window as parent.
class CameraMessages {
public:
    explicit CameraMessages(CameraConnection& connection) : m_connection(connection) {}
    CameraMessages(const CameraMessages&) = delete;
    CameraMessages& operator=(const CameraMessages&) = delete;

    // A failed library call: its message, then the link is closed.
    void ReportComStatus(ComStatus status);
    void ReportTransferError(TransferError error);
    void ReportShellError(UINT_PTR code);
    void ShowMessage(UINT id);
    // The message id with insert in place of its %s, wide: a path or a name may hold any script.
    void ShowMessageWith(UINT id, const wchar_t* insert);
    // The folder of temporary copies (named in the message) cannot hold a copy.
    void ReportTempFolderUnusable(const wchar_t* folder);

    // A listing met a file that is gone: the user hears of it once, until a listing ends well.
    void ReportGoneWhileListing();
    // A listing reached its end (or found nothing) without meeting a gone file.
    void ListingEndedWell() { m_fNotAvailableTold = false; }

private:
    void ReportNotAvailable();
    void ShowMessageBox(const char* text);

    CameraConnection& m_connection;
    bool m_fNotAvailableTold = false;  // the user was told a listed file is gone; listings stay quiet
    bool m_fListing = false;           // a listing is reporting a gone file
};
