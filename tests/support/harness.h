// Test side of Brevitor: starts the real editor in the test process, pumps its
// messages, and answers its message boxes and dialogs as a user would.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// What a modal box or dialog showed when it appeared.
struct SeenBox {
    std::string caption;   // window caption
    std::string text;      // message box text (static 0xFFFF), empty for dialogs
    std::string fileName;  // file dialogs: the name proposed in the file-name box, the folder shown,
    std::string folder;    // the file types offered and the one chosen
    std::vector<std::string> fileTypes;
    int fileType = -1;
    bool isFileDialog = false;
    int icon = 0;              // message boxes: MB_ICONQUESTION, MB_ICONEXCLAMATION, ... or 0
    std::vector<int> buttons;  // ids of the visible push buttons, ascending
};

// The program's messages as the user reads them: format text (one %s), caption, icon, buttons.
struct Message {
    const char *format;
    const char *caption;
    int icon;
    std::vector<int> buttons;
};
extern const Message SaveQuestion, RevertQuestion, DefaultQuestion, TooLongNotice, NulNotice, IoErrorNotice;
// Whether box showed this message in full: text, caption, icon and buttons.
::testing::AssertionResult IsMessage(const SeenBox &box, const Message &message, const std::string &argument);
::testing::AssertionResult IsIoError(const SeenBox &box, DWORD code);

// Queue answers for the boxes the next steps will raise, in the order they appear.
typedef void (*BoxAction)(HWND dialog);
void ExpectBox(int button);
// Moves typeSteps down the list of file types, then types name and presses OK (Cancel for no name).
void ExpectFileDialog(const std::string &name, int typeSteps = 0);
void ExpectDialog(BoxAction action);
// Boxes seen since the last ClearBoxes, and how many queued answers remain unused.
const std::vector<SeenBox> &Boxes();
int PendingReplies();
void ClearBoxes();

// Starts the real editor (all start-up steps) with the given command tail.
void StartEditor(const char *commandTail = "");
// Ends it without any prompt and resets what a later test in this process would see.
void StopEditor();
// Ends the editor, gives path these bytes, and starts it anew on path with no boxes seen.
void RestartOn(const std::string &path, const std::string &bytes);
// Processes queued messages through the program's own loop step for about ms milliseconds.
void Pump(int ms = 30);
// Drops a WM_QUIT left in the queue, so later modal loops do not return at once.
void DrainQuit();

// A row's name as a test case's: letters and digits, the rest as underscores.
std::string CaseName(const std::string &text);

// Text helpers.
std::string TextOfSize(size_t n);   // exactly n bytes in lines, which the pane lays out quickly
std::string NameOf(const std::string &path);   // the part after the last backslash
std::string PaneText();   // as shown: only while the pane is visible and fills the window
std::string Caption(HWND window);
void ExpectTextIn4Pixels();           // the pane's text rectangle is 4 pixels in from its edges
void TypeText(const char *text);      // as typed keys, so the pane counts it as an edit
void SendCommand(WORD command);       // as a menu choice (WM_COMMAND, code 0)
void PressKey(BYTE key, bool ctrl, bool alt = false, bool shift = false);  // through the message loop
HWND FindChildEdit(HWND parent, int id);  // an edit control with this id anywhere under parent
void Click(HWND dialog, int button);      // a button click, as the dialog's own loop gets it
void ClickOk(HWND dialog);
const int FileNameBox = 0x47C;   // the file dialogs' name box and list of file types
const int FileTypeList = 0x470;

// Points this executable's import of a routine from module at a stand-in, once, keeping the real one in *real.
void *RerouteImport(const char *module, const char *name, void *standIn);
template <typename Routine>
void Reroute(const char *name, Routine standIn, Routine *real, const char *module = "kernel32.dll")
{
    if (!*real)
        *real = (Routine)RerouteImport(module, name, (void *)standIn);
    ASSERT_NE(*real, nullptr) << name << " is not imported";
}

// Files in a fresh per-test folder under the system temp folder.
std::string TempDir();                          // created on first use in each test
std::string TempPath(const char *name);         // full Windows path inside TempDir
std::string ReadBytes(const std::string &path); // whole file, or "<missing>"
void WriteBytes(const std::string &path, const std::string &bytes);

// Fixture for tests that drive the editor: starts it with an empty command tail,
// and fails the test if a queued answer was never used.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void Restart(const char *commandTail);   // ends the editor and starts it anew with this tail
};

void InstallAutopilot();
