// Command dispatch: one row per menu command; entries without an action beep.
#include "commands/commands.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"
#include "format/format.h"

// Menu state greys the entries that must not run; this table acts on whatever arrives,
// but Revert needs a file to return to (a stale shortcut or another program may send it).
void DoCommand(WORD command)
{
    // clang-format off
    switch (command) {
    case IDM_NEW:           NewDocument(); break;
    case IDM_OPEN:          ChooseDocument(); break;
    case IDM_CLOSE:         CloseMainWindow(); break;
    case IDM_SAVE:          SaveDocument(); break;
    case IDM_SAVEAS:        SaveDocumentAs(); break;
    case IDM_REVERT:        if (DocFile) ReadDocument(); break;
    case IDM_EXIT:          SendMessageA(MainWindow, WM_CLOSE, 0, 0); break;
    case IDM_UNDO:          SendMessageA(EditPane, WM_UNDO, 0, 0); break;
    case IDM_CUT:           SendMessageA(EditPane, WM_CUT, 0, 0); break;
    case IDM_COPY:          SendMessageA(EditPane, WM_COPY, 0, 0); break;
    case IDM_PASTE:         SendMessageA(EditPane, WM_PASTE, 0, 0); break;
    case IDM_DELETE:        SendMessageA(EditPane, WM_CLEAR, 0, 0); break;
    case IDM_SELECTALL:     SendMessageA(EditPane, EM_SETSEL, 0, -1); break;
    case IDM_TEXTFORMAT:    ChooseTextFormat(); break;
    case IDM_DEFAULTFORMAT: RestoreDefaultFormat(); break;
    case IDM_BACKCOLOR:     ChooseBackColor(); break;
    case IDM_ABOUT:         DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDR_MAIN), MainWindow, AboutDlgProc, 0); break;
    default:                MessageBeep(0); break;   // Page Setup, Print, Help and unknown commands
    }
    // clang-format on
}

// Notifications from the edit pane need no action.
void DoControlNotify(WORD, LPARAM, WORD)
{
}
