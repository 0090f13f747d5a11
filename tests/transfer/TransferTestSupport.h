// What the transfer tests share: the camera view in the host's browser, camera and PC files
// of known bytes, a PC folder of the test's own, the numbers the progress dialogs show, the
// shell's own moves and data objects, and the texts the user reads.
#pragma once
#include <string>
#include <vector>
#include "view/CameraViewTestSupport.h"
#include <shellapi.h>
#include "support/MessageTexts.h"

using Messages = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

// Bytes that tell files apart: a pattern of the position and a seed.
Bytes PatternBytes(size_t size, unsigned seed = 0);
bool AddCameraFile(const std::string& name, size_t size, unsigned seed = 0);
// A camera file's bytes; empty when the camera does not hold it (or it is empty).
Bytes CameraFile(const std::string& name);
bool CameraHolds(const std::string& name);

// The folder of every temporary copy (with its final backslash); the path of a name's copy in
// the first folder of copies in it that holds one; RemoveTempCopies empties and removes it.
std::string TempCopiesFolder();
std::string TempCopyPathOf(const std::string& name);
void RemoveTempCopies();

Bytes ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);
// Removes a folder of the test's own with everything in it.
void RemoveFolder(const std::string& folder);
// A PC file of size bytes of the pattern of seed (its folders made); a file of 64 MiB or more
// is left sparse (its bytes read as zeros).
void CreatePcFile(const std::string& path, ULONGLONG size, unsigned seed = 0);

// A CF_HDROP block as a program builds it: the 20-byte header, each path with its zero, and
// the empty last name; the paths single-byte or wide.
Bytes DropBlock(const std::vector<std::string>& paths, bool fWide = false);

// The texts of the message boxes a capture saw (not the progress or connect dialogs).
Messages BoxesOf(const DialogCapture& capture);

// Records what the progress dialogs show each time a file begins: "File n of m" lines
// ("Copying from Lumora: 2 of 3"), from the texts the dialog's number fields are given.
class ProgressRecorder {
public:
    ProgressRecorder();
    ~ProgressRecorder();
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;

    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hHook;
    std::vector<std::string> m_lines;
};

// Formats as a receiver asks for them.
FORMATETC HGlobalFormat(UINT cf);
// The bytes of a global block, and the paths of a CF_HDROP block as the shell reads them.
Bytes BlockBytes(HGLOBAL block);
std::vector<std::string> DroppedPaths(HGLOBAL block);
// The paths of a data object's CF_HDROP list, read as a receiver does; none when it gives none.
std::vector<std::string> FileListOf(IDataObject* data);
std::vector<std::wstring> WideFileListOf(IDataObject* data);
// A global block holding the bytes.
HGLOBAL NewBlock(const Bytes& bytes);
// A medium of a block (its tymed as given), released through pUnkForRelease when one is given.
STGMEDIUM BlockMedium(HGLOBAL block, IUnknown* pUnkForRelease = nullptr, DWORD tymed = TYMED_HGLOBAL);

// The shell's own move of one file into a folder, as Explorer does it for a paste after a
// Cut (one file a call: Wine's move of several can cancel). True when the shell reports it done.
bool ShellMove(const std::string& path, const std::string& folder);
// The shell's own data object for PC files: the desktop folder parses each path and the
// parent folder hands out IDataObject (it offers a wide CF_HDROP list).
ComPtr<IDataObject> ShellDataObject(const std::vector<std::string>& paths);

// How the program's own reads (or, as asked, writes) of files go wrong while a FaultyReads
// lives: not at all, one byte short of what was asked with success (no error code), or
// failing with ERROR_LOCK_VIOLATION (as where another program locked the bytes; Wine 8 does
// not stop a read for a lock taken through another handle), every call or only the one after goodReads.
enum class ReadFault { None, Short, Fails, FailsOne };

class FaultyReads {
public:
    explicit FaultyReads(ReadFault fault, const char* function = "ReadFile", int goodReads = 0);
    ~FaultyReads();
    FaultyReads(const FaultyReads&) = delete;
    FaultyReads& operator=(const FaultyReads&) = delete;

    // The program's import of ReadFile was found (and, for a fault, replaced).
    bool Active() const { return m_pSlot != nullptr; }

private:
    void** m_pSlot;
    void* m_pOriginal = nullptr;
};

// Counts the releases a medium's pUnkForRelease receives.
class ReleaseCounter final : public IUnknown {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
    IFACEMETHODIMP_(ULONG) Release() override { return --m_cRef; }
    LONG Count() const { return m_cRef; }

private:
    LONG m_cRef = 1;
};

class TransferTest : public CameraViewTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The folder's data object for these rows, owned by the view window (a Cut when fCut).
    ComPtr<IDataObject> DataObjectForRows(const std::vector<int>& rows, bool fCut);
    // A path in the test's own PC folder.
    std::string PcPath(const std::string& name) const { return m_pcFolder + name; }
    // The texts of the message boxes the user saw (not the progress or connect dialogs).
    Messages Boxes() const;
    // Rows whose cut mark is set.
    std::vector<std::string> CutRows() const;

    std::string m_pcFolder;  // ends in a backslash
};
