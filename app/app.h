// Application shell: start-up, message loop, main window, edit pane, About box, the system DLLs loaded at first use.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

extern HINSTANCE Instance;         // this module; every resource load and window creation uses it
extern HWND      MainWindow;       // the one main window
extern HWND      EditPane;         // the edit control that holds the document's text
extern HACCEL    Accelerators;     // keyboard shortcuts, table IDR_MAIN
extern int       KeepRunning;      // result of the last GetMessageA; the loop runs while it is not 0
extern char      ClassName[32];    // main window class name
extern char      UntitledName[64]; // caption and title of a document without a file

// Start-up (everything before the message loop) and one turn of the loop.
void StartBrevitor(HINSTANCE instance, LPSTR commandTail, int showCommand);
void PumpMessage();

// What the program's entry derives from the process: the command line without
// the program name, and the show command from the start-up information.
// CommandFileName is the file the tail names: unquoted when quoted.
LPSTR CommandTail(LPSTR commandLine);
LPSTR CommandFileName(LPSTR commandTail);
int   ShowCommandFrom(const STARTUPINFOA *startup);

// Keeps the pane's text 4 pixels in from its edges.
void SetTextMargin();
// Replaces the pane's text, which clears its modified flag.
void SetPaneText(LPCSTR text);

// The common dialogs by their platform names, loaded from comdlg32 when first called. When it
// cannot be loaded, a dialog reports the numbered error and returns FALSE, as if cancelled.
namespace Comdlg32 {
BOOL GetOpenFileNameA(LPOPENFILENAMEA dialog);
BOOL GetSaveFileNameA(LPOPENFILENAMEA dialog);
BOOL ChooseFontA(LPCHOOSEFONTA dialog);
BOOL ChooseColorA(LPCHOOSECOLORA dialog);
} // namespace Comdlg32

// The shell's calls for dropped files, loaded from shell32 at the first drop. When it cannot be
// loaded, DragQueryFileA reports the numbered error and returns 0, and DragFinish does nothing.
namespace Shell32 {
UINT DragQueryFileA(HDROP drop, UINT index, LPSTR name, UINT size);
void DragFinish(HDROP drop);
} // namespace Shell32

// Posted on coming back from another program: a box shown while the activation is still under way would
// come up before the main window is brought to the front.
const UINT WM_CHECKDOCFILE = WM_APP + 1;

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
