// The view's commands in the host's browser, as the command tests drive them: files of a
// type that opens harmlessly, every way a user gives a command (the menu bar, a toolbar
// button, a key through the browser's loop, the right-click menu driven by posted keys, the
// activation of a row) and readers of what changed.
#pragma once
#include <functional>
#include "CameraViewTestSupport.h"
#include "support/HarmlessFileType.h"

// The three files every command test starts from, in list order.
extern const CameraFiles kThreeFiles;  // A.QQH, B.QQH, C.QQH

class ViewCommandTest : public CameraViewTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The three files on the camera, listed in details mode, these rows selected, the
    // focus in the list; the camera's log and the captured boxes cleared.
    void ShowFiles(const std::vector<int>& selected);
    void ResetFiles(const std::vector<int>& selected);

    // Readers.
    std::vector<int> RowsInState(UINT state) const;  // LVIS_SELECTED, LVIS_CUT
    std::vector<int> SelectedRows() const { return RowsInState(LVIS_SELECTED); }
    std::vector<int> CutRows() const { return RowsInState(LVIS_CUT); }
    void MarkCut(int row) const;
    UINT ListType() const { return static_cast<UINT>(GetWindowLongA(List(), GWL_STYLE)) & LVS_TYPEMASK; }
    UINT CurrentViewMode() const;
    // The names of the files the camera holds, in its order.
    static std::vector<std::string> CameraNames();
    // The names passed to a camera function, in order.
    static std::vector<std::string> NamesPassedTo(const char* function);

    // The ways a command comes.
    void ChooseFromMenuBar(UINT id);           // posted to the frame as the merged item sends it
    void ClickToolbarButton(UINT id);          // a mouse click on the view's button
    void PressKey(WPARAM key, bool fControl);  // posted to the list, through the browser's loop
    // A right-click in the list; the menu's loop takes the keys posted after it.
    void RightClick(const std::vector<WPARAM>& keys);
    void PressEnter();        // on the focused row
    void DoubleClickRow(int row);
    // The popups that opened over the view since the last call, as their items stood once
    // the view had set their states.
    std::vector<std::vector<MenuEntry>> TakePopups();

    // The clipboard.
    static void PutTextOnClipboard(const char* text);
    static std::string ClipboardText();
    // A CF_HDROP block as it stands (well-formed or not).
    static void PutDropBlockOnClipboard(const std::vector<BYTE>& block);

    HarmlessFileType m_type{".qqh"};

private:
    static LRESULT CALLBACK RecordPopups(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);
    std::vector<std::vector<MenuEntry>> m_popups;
};

// A CF_HDROP block: the header, then the paths, single-byte or wide, and the list's end.
std::vector<BYTE> DropBlock(const std::vector<std::string>& paths, bool fWide);

// A folder of the PC for the length of a test, with whatever is put into it.
class PcFolder {
public:
    explicit PcFolder(const char* name);
    ~PcFolder();
    PcFolder(const PcFolder&) = delete;
    PcFolder& operator=(const PcFolder&) = delete;

    std::string Path(const std::string& name = "") const { return m_path + "\\" + name; }
    // Writes a file of size bytes of 'p' into the folder; its path.
    std::string WriteFile(const std::string& name, DWORD size) const;
    static std::string ReadFile(const std::string& path);

private:
    std::string m_path;
};

// A text of the string table.
std::string Text(UINT id);

// The path of a camera name's temporary copy; the copies of the three files are removed.
std::string TempCopyPath(const std::string& name);
void RemoveTempCopies();

// Holds the Ctrl key down (in this thread's key state) for the length of a scope.
class ControlKey {
public:
    explicit ControlKey(bool down);
    ~ControlKey();
    ControlKey(const ControlKey&) = delete;
    ControlKey& operator=(const ControlKey&) = delete;

private:
    BYTE m_saved[256];
};

// Runs a function on a thread of its own and waits for it.
void RunOnOtherThread(const std::function<void()>& work);
