// Application shell: start-up, message loop, main window, edit pane, About box.
#pragma once
#include <windows.h>

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

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
