// The main window procedure and the edit pane that fills the window.
#include "app/app.h"
#include "app/resource.h"
#include "commands/commands.h"
#include "document/document.h"
#include "format/format.h"

HWND EditPane;

// The window is passed in: MainWindow is still null while WM_CREATE runs.
// The limit is set explicitly because not every platform's default is 32,767.
// The pane gets its size and margin while it is still empty: the pane lays out all of its text
// again at every size or margin change, and a command-line file arrives before the first WM_SIZE.
static LRESULT DoCreate(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    EditPane = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0,
                               client.right, client.bottom, window, (HMENU)(INT_PTR)IDC_EDIT, Instance, nullptr);
    SendMessageA(EditPane, EM_SETLIMITTEXT, MaxText, 0);
    lstrcpynA(DocTitle, UntitledName, sizeof DocTitle);
    SetUpFormat();
    SetTextMargin();
    return 0;
}

static LRESULT DoDestroy()
{
    CleanUpFormat();
    PostQuitMessage(0);
    return 0;
}

// The text rectangle is set from the pane's client area (less its scroll bar) rather than
// adjusted: the pane trims it to whole lines, and repeated WM_SIZE messages of one size
// would otherwise shrink it further each time.
void SetTextMargin()
{
    RECT text;
    GetClientRect(EditPane, &text);
    InflateRect(&text, -4, -4);
    SendMessageA(EditPane, EM_SETRECT, 0, (LPARAM)&text);
}

// Under Wine a visible pane takes in a long text more than twice as slowly as a hidden one, so the
// text goes in while the pane is hidden. SetWindowPos rather than ShowWindow: hiding the pane that
// way leaves the keyboard focus where it is.
void SetPaneText(LPCSTR text)
{
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(EditPane, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW);
    SendMessageA(EditPane, WM_SETTEXT, 0, (LPARAM)text);
    SetWindowPos(EditPane, nullptr, 0, 0, 0, 0, keep | SWP_SHOWWINDOW);
}

// A WM_SIZE of the size the pane already has (the first show, after WM_CREATE sized the pane)
// would only lay out the whole text again.
static LRESULT DoSize(int width, int height)
{
    RECT pane;
    GetWindowRect(EditPane, &pane);
    if (pane.right - pane.left == width && pane.bottom - pane.top == height)
        return 0;
    MoveWindow(EditPane, 0, 0, width, height, TRUE);
    SetTextMargin();
    return 0;
}

static LRESULT DoCommandMessage(WPARAM wParam, LPARAM lParam)
{
    WORD code = HIWORD(wParam);
    if (code == 0 || code == 1)
        DoCommand(LOWORD(wParam));
    else
        DoControlNotify(LOWORD(wParam), lParam, code);
    return 0;
}

// The first file dropped is opened as Open opens it; any others are ignored. The name is copied and
// the drop finished before the open, whose prompts may take a while. The copy is one byte longer
// than DocPath, like OpenDocument's own: a longer name arrives cut to 260 bytes, and OpenDocument
// refuses it as it refuses a long path on the command line.
static LRESULT DoDropFiles(HDROP drop)
{
    char name[sizeof DocPath + 1];
    UINT length = Shell32::DragQueryFileA(drop, 0, name, sizeof name);
    Shell32::DragFinish(drop);
    if (length == 0)
        return 0;
    name[sizeof name - 1] = '\0';
    OpenDocument(name);
    return 0;
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    IoFailed = 0;
    // clang-format off
    switch (message) {
    case WM_CREATE:             return DoCreate(window);
    case WM_DESTROY:            return DoDestroy();
    case WM_SIZE:               return DoSize(LOWORD(lParam), HIWORD(lParam));
    case WM_SETFOCUS:           SetFocus(EditPane); return 0;
    case WM_CLOSE:              CloseMainWindow(); return 0;
    case WM_QUERYENDSESSION:    return AskToSave();
    case WM_ENDSESSION:         DoEndSession((BOOL)wParam); return 0;
    case WM_ACTIVATEAPP:        if (wParam) PostMessageA(window, WM_CHECKDOCFILE, 0, 0); return 0;
    case WM_CHECKDOCFILE:       OfferToReread(); return 0;
    case WM_SYSCOLORCHANGE:     DoSysColorChange(); return 0;
    case WM_COMMAND:            return DoCommandMessage(wParam, lParam);
    case WM_INITMENUPOPUP:      DoInitMenuPopup((HMENU)wParam, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_CTLCOLOREDIT:       return (LRESULT)DoCtlColorEdit((HDC)wParam);
    case WM_DROPFILES:          return DoDropFiles((HDROP)wParam);
    default:                    return DefWindowProcA(window, message, wParam, lParam);
    }
    // clang-format on
}
