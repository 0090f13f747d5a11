// The PC files a run of sending to the camera left out for a reason the user is told of at
// its end (a folder, a file that could not be opened or read): their paths, one a line, in
// a bounded buffer, and the one message that names them.
#pragma once
#include <windows.h>
#include "camera/CameraConnection.h"

class NotSentFiles {
public:
    // Notes a path; once the buffer is full, the list ends with a line "..." instead.
    void Add(const wchar_t* path);
    // The message IDS_FILES_NOT_SENT with the list, as the connection shows its messages
    // (wide: a path may hold characters of any script); nothing when no file was left out.
    void Report(CameraConnection* connection) const;

private:
    static constexpr int kCapacity = 2048;  // characters of the list, its zero included

    wchar_t m_names[kCapacity] = L"";
    int m_cchUsed = 0;
    bool m_fAny = false;
    bool m_fFull = false;
};
