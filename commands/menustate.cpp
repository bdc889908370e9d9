// Menu state: each pull-down's entries are set from the document and the pane as it opens.
// Shortcuts pass through the same rules, since a greyed entry's shortcut sends no command.
#include "commands/commands.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"

static void EnableIf(HMENU menu, UINT command, BOOL enabled)
{
    EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void DoInitMenuPopup(HMENU menu, WORD index, WORD isWindowMenu)
{
    if (isWindowMenu)
        return;
    switch (index) {
    case 0: InitFileMenu(menu); break;
    case 1: InitEditMenu(menu); break;
    case 2: InitFormatMenu(menu); break;
    case 3: InitHelpMenu(menu); break;
    }
}

// Save only for modified text; Revert only for modified text that has a file to return to.
void InitFileMenu(HMENU menu)
{
    EnableIf(menu, IDM_NEW, TRUE);
    EnableIf(menu, IDM_OPEN, TRUE);
    EnableIf(menu, IDM_CLOSE, TRUE);
    EnableIf(menu, IDM_SAVEAS, TRUE);
    EnableIf(menu, IDM_EXIT, TRUE);
    EnableIf(menu, IDM_PAGESETUP, FALSE);
    EnableIf(menu, IDM_PRINT, FALSE);
    BOOL modified = (BOOL)SendMessageA(EditPane, EM_GETMODIFY, 0, 0);
    EnableIf(menu, IDM_SAVE, modified);
    EnableIf(menu, IDM_REVERT, modified && DocFile != nullptr);
}

void InitEditMenu(HMENU menu)
{
    DWORD start = 0, end = 0;
    EnableIf(menu, IDM_UNDO, SendMessageA(EditPane, EM_CANUNDO, 0, 0) != 0);
    SendMessageA(EditPane, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EnableIf(menu, IDM_CUT, start != end);
    EnableIf(menu, IDM_COPY, start != end);
    EnableIf(menu, IDM_DELETE, start != end);
    EnableIf(menu, IDM_PASTE, IsClipboardFormatAvailable(CF_TEXT));
    EnableIf(menu, IDM_SELECTALL, GetWindowTextLengthA(EditPane) > 0);
}

void InitFormatMenu(HMENU menu)
{
    EnableIf(menu, IDM_TEXTFORMAT, TRUE);
    EnableIf(menu, IDM_DEFAULTFORMAT, TRUE);
    EnableIf(menu, IDM_BACKCOLOR, TRUE);
}

void InitHelpMenu(HMENU menu)
{
    EnableIf(menu, IDM_HELP, FALSE);
    EnableIf(menu, IDM_ABOUT, TRUE);
}
