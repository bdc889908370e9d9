// Start-up: window class, main window, the command-line document, dialogs and format state.
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"
#include "format/format.h"

HINSTANCE Instance;
HWND      MainWindow;
HACCEL    Accelerators;
int       KeepRunning = 1;
char      ClassName[32];
char      UntitledName[64];

// The program name runs to the closing quote when quoted, else to the first blank or control
// character; the blanks after it are skipped and the rest is the tail, quotes and trailing blanks kept.
LPSTR CommandTail(LPSTR commandLine)
{
    char *p = commandLine;
    if (*p == '"') {
        for (p++; *p && *p != '"'; p++) {
        }
        if (*p == '"')
            p++;
    } else {
        while ((unsigned char)*p > ' ')
            p++;
    }
    while (*p && (unsigned char)*p <= ' ')
        p++;
    return p;
}

// Shells and "Open with" pass a document as "C:\path\name.txt". A file name never holds a quote, so a
// tail that is one quoted name, blanks after it allowed, names the file between the quotes. Any other
// tail, an unclosed quote included, is taken as it stands and fails, if at all, as an invalid name.
// The closing quote is overwritten: the name is used in place, whatever its length.
LPSTR CommandFileName(LPSTR commandTail)
{
    if (commandTail[0] != '"')
        return commandTail;
    char *close = commandTail + 1;
    while (*close && *close != '"')
        close++;
    if (*close != '"')
        return commandTail;
    for (char *p = close + 1; *p; p++) {
        if ((unsigned char)*p > ' ')
            return commandTail;
    }
    *close = '\0';
    return commandTail + 1;
}

int ShowCommandFrom(const STARTUPINFOA *startup)
{
    return (startup->dwFlags & STARTF_USESHOWWINDOW) ? startup->wShowWindow : SW_SHOWDEFAULT;
}

static void RegisterMainClass()
{
    LoadStringA(Instance, IDS_APPNAME, ClassName, sizeof ClassName);
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = Instance;
    wc.hIcon = LoadIconA(Instance, MAKEINTRESOURCEA(IDR_MAIN));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN);
    wc.lpszClassName = ClassName;
    RegisterClassA(&wc);
}

// MainWindow is set as soon as creation returns; WM_CREATE itself runs before that.
// Dropped files are accepted by the style rather than by DragAcceptFiles, which would load shell32,
// and the DLLs it brings, before the window shows. Only this window has it: a drop on the pane comes
// here, while a pane with the style would take the drop and ignore it.
static void CreateMainWindow()
{
    LoadStringA(Instance, IDS_UNTITLED, UntitledName, sizeof UntitledName);
    MainWindow = CreateWindowExA(WS_EX_ACCEPTFILES, ClassName, UntitledName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, Instance,
                                 nullptr);
}

// The order matters: the command-line file opens before the window shows, and the
// format state is made after the pane got its (null) font, so the pane keeps the
// system font until the first format command.
void StartBrevitor(HINSTANCE instance, LPSTR commandTail, int showCommand)
{
    Instance = instance;
    RegisterMainClass();
    CreateMainWindow();
    LPSTR fileName = CommandFileName(commandTail);
    if (fileName[0] != '\0')
        OpenDocument(fileName);
    ShowWindow(MainWindow, showCommand);
    UpdateWindow(MainWindow);
    InitFileDialog();
    InitFormat();
    InitColorDialog();
    Accelerators = LoadAcceleratorsA(Instance, MAKEINTRESOURCEA(IDR_MAIN));
}

// Even the message that ends the loop, and a GetMessageA error, go through translation and dispatch.
void PumpMessage()
{
    MSG message;
    KeepRunning = GetMessageA(&message, nullptr, 0, 0);
    if (!TranslateAcceleratorA(MainWindow, Accelerators, &message)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
