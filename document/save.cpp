// Saving: the pane's text rewrites the held document file in place.
#include "document/document.h"
#include "app/app.h"
#include "app/resource.h"

void SaveDocument()
{
    if (DocFile)
        WriteDocument();
    else
        SaveDocumentAs();
}

// Moves the document to ChosenPath; returns FALSE when it ends without a file.
static BOOL MoveToChosenFile()
{
    if (DocFile) {
        CheckIoStep(ReleaseDocFile());
        if (IoFailed)
            return FALSE;
    }
    HANDLE file = CreateDocFile(ChosenPath, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        LoseDocFile();
        return FALSE;
    }
    HoldDocFile(file, ChosenPath);
    // A name too long for the dialog's title buffer leaves it unterminated or stale there.
    if (lstrlenA(ChosenPath + FileDialog.nFileOffset) >= (int)sizeof ChosenTitle) {
        SetTitleFromPath();
        return TRUE;
    }
    lstrcpynA(DocTitle, ChosenTitle, sizeof DocTitle);
    SetWindowTextA(MainWindow, DocTitle);
    return TRUE;
}

void SaveDocumentAs()
{
    lstrcpynA(ChosenPath, DocPath, sizeof ChosenPath);
    lstrcpynA(ChosenTitle, DocTitle, sizeof ChosenTitle);
    if (!Comdlg32::GetSaveFileNameA(&FileDialog)) {
        IoFailed = 1;
        return;
    }
    if (lstrcmpA(ChosenPath, DocPath) != 0 && !MoveToChosenFile())
        return;
    WriteDocument();
}

// WriteFile may report success having written only part (a full disk does this):
// keep writing until every byte is out or a call fails with its reason.
static BOOL WriteAll(const char *bytes, DWORD count)
{
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(DocFile, bytes, count, &written, nullptr))
            return FALSE;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return FALSE;
        }
        bytes += written;
        count -= written;
    }
    return TRUE;
}

// Another program may have changed the file since Brevitor last read or wrote it: the user decides whether
// the text goes over what is there now. OK on a replaced or removed file holds the file that the path names
// now, created anew if there is none. Cancel writes nothing and stops a close that waits on the save.
static BOOL MayOverwrite()
{
    DocFileState state = CheckDocFile();
    if (state == FileAsLeft)
        return TRUE;
    if (ShowMessage(IDS_CHANGEDPROMPT, MB_ICONEXCLAMATION, MB_OKCANCEL, QueryCaption, DocTitle) != IDOK) {
        IoFailed = 1;
        return FALSE;
    }
    return state == FileChanged || HoldFileAtPath(OPEN_ALWAYS);
}

// Rewrites the file from its start and cuts it to the new length, step by step until one fails.
static void RewriteDocFile(const char *text, DWORD n)
{
    CheckIoStep(SetFilePointer(DocFile, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER);
    if (IoFailed)
        return;
    CheckIoStep(WriteAll(text, n));
    if (IoFailed)
        return;
    CheckIoStep(SetEndOfFile(DocFile));
    if (IoFailed)
        return;
    CheckIoStep(FlushFileBuffers(DocFile));
}

// The text counts as saved only when every step succeeded. A save that failed part way still leaves the
// file as Brevitor made it, so the next save must not take that for another program's change.
void WriteDocument()
{
    static char text[MaxText + 1];
    if (GetWindowTextLengthA(EditPane) > MaxText) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        CheckIoError();
        return;
    }
    if (!MayOverwrite())
        return;
    DWORD n = (DWORD)SendMessageA(EditPane, WM_GETTEXT, sizeof text, (LPARAM)text);
    RewriteDocFile(text, n);
    RememberDocFile();
    if (!IoFailed)
        SendMessageA(EditPane, EM_SETMODIFY, 0, 0);
}
