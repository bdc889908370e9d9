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
static void CreateMainWindow()
{
    LoadStringA(Instance, IDS_UNTITLED, UntitledName, sizeof UntitledName);
    MainWindow = CreateWindowExA(0, ClassName, UntitledName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, Instance, nullptr);
}

// The order matters: the command-line file opens before the window shows, and the
// format state is made after the pane got its (null) font, so the pane keeps the
// system font until the first format command.
void StartBrevitor(HINSTANCE instance, LPSTR commandTail, int showCommand)
{
    Instance = instance;
    RegisterMainClass();
    CreateMainWindow();
    if (commandTail[0] != '\0')
        OpenDocument(commandTail);
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
