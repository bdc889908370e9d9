// Closing, opening and reverting: the save prompt guards every path that would discard the text.
#include "document/document.h"
#include "app/app.h"
#include "app/resource.h"

static void ReadDocFile();

// Yes saves first and agrees only if the save worked; a box that fails counts as Cancel.
int AskToSave()
{
    if (!SendMessageA(EditPane, EM_GETMODIFY, 0, 0))
        return 1;
    switch (ShowMessage(IDS_SAVEPROMPT, MB_ICONQUESTION, MB_YESNOCANCEL, QueryCaption, DocTitle)) {
    case IDYES: SaveDocument(); return IoFailed == 0;
    case IDNO: return 1;
    default: return 0;
    }
}

// Lets the file go and empties the pane, without asking.
static void DiscardDocument()
{
    if (DocFile)
        CheckIoStep(ReleaseDocFile());
    SetWindowTextA(EditPane, EmptyText);
}

// Non-zero when the caller may go ahead: the document is closed and the pane empty.
int CloseDocument()
{
    if (!AskToSave())
        return 0;
    DiscardDocument();
    return 1;
}

// The log-off query only asked: another program may still cancel it, and then the document must stay.
void DoEndSession(BOOL ending)
{
    if (ending)
        DiscardDocument();
}

void CloseMainWindow()
{
    if (CloseDocument())
        DestroyWindow(MainWindow);
}

void NewDocument()
{
    if (!CloseDocument())
        return;
    DocFile = nullptr;
    DocPath[0] = '\0';
    lstrcpynA(DocTitle, UntitledName, sizeof DocTitle);
    SetWindowTextA(MainWindow, UntitledName);
}

void ChooseDocument()
{
    if (Comdlg32::GetOpenFileNameA(&FileDialog))
        OpenDocument(ChosenPath);
}

// The path is copied first: a Save As raised by the save prompt reuses ChosenPath.
// A path too long to copy whole is refused by CreateDocFile before anything uses it.
void OpenDocument(LPCSTR path)
{
    char target[sizeof DocPath + 1];
    lstrcpynA(target, path, sizeof target);
    if (!CloseDocument())
        return;
    HANDLE file = CreateDocFile(target, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        LoseDocFile();
        return;
    }
    HoldDocFile(file, target);
    SetTitleFromPath();
    ReadDocFile(); // just opened by its path: nothing to ask, nothing to check
}

// A file the pane cannot hold whole is not kept open, so no save can cut it short;
// the pane and the title stay as they are.
static void RefuseDocument(UINT why)
{
    ShowMessage(why, MB_ICONEXCLAMATION, MB_OK, nullptr, DocTitle);
    ReleaseDocFile();
    IoFailed = 1;
}

// Reads the held file whole into the pane.
// The size's high part counts: a file of 4 GiB and more must not pass for a small one.
// The text ends where the read ended, so no byte that was not read is shown.
// The pane would end the text at a NUL byte, so a file holding one is refused.
static void ReadDocFile()
{
    static char text[MaxText + 1];
    DWORD       high = 0;
    SetLastError(0);
    DWORD size = GetFileSize(DocFile, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != 0) {
        CheckIoError();
        return;
    }
    if (high != 0 || size > (DWORD)MaxText) {
        RefuseDocument(IDS_TOOLONG);
        return;
    }
    CheckIoStep(SetFilePointer(DocFile, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER);
    if (IoFailed)
        return;
    DWORD got = 0;
    BOOL  read = ReadFile(DocFile, text, size, &got, nullptr);
    text[read ? got : 0] = '\0';
    CheckIoStep(read);
    if (IoFailed)
        return;
    if (lstrlenA(text) != (int)got) {
        RefuseDocument(IDS_NULBYTE);
        return;
    }
    RememberDocFile();
    SetPaneText(text);
}

// The most recently saved version is the file that the path names now, which another program may have
// put in place of the held one.
static void ReadFileAtPath()
{
    DocFileState state = CheckDocFile();
    if ((state == FileReplaced || state == FileRemoved) && !HoldFileAtPath(OPEN_EXISTING))
        return;
    ReadDocFile();
}

// Revert: asks before discarding changes.
void ReadDocument()
{
    if (SendMessageA(EditPane, EM_GETMODIFY, 0, 0) &&
        ShowMessage(IDS_REVERTPROMPT, MB_ICONQUESTION, MB_OKCANCEL, QueryCaption, DocTitle) != IDOK)
        return;
    ReadFileAtPath();
}

// Coming back from another program, where under Wine a Linux program may have rewritten or replaced the
// file: the user learns it before typing on, once for each new state of the file. A removed file has
// nothing to read; the save asks about it. While one of Brevitor's own boxes or dialogs is up the window is
// disabled, and nothing is asked over it. Unsaved text is kept unless the user says otherwise.
void OfferToReread()
{
    BY_HANDLE_FILE_INFORMATION named = {};
    if (!DocFile || !IsWindowEnabled(MainWindow))
        return;
    DocFileState state = CheckDocFile(&named);
    if (state == FileAsLeft || state == FileRemoved || SameFileVersion(named, DocFileSeen.kept))
        return;
    BOOL edited = SendMessageA(EditPane, EM_GETMODIFY, 0, 0) != 0;
    UINT question = edited ? IDS_REREADLOSEPROMPT : IDS_REREADPROMPT;
    UINT icon = edited ? MB_ICONEXCLAMATION | MB_DEFBUTTON2 : MB_ICONQUESTION;
    if (ShowMessage(question, icon, MB_YESNO, QueryCaption, DocTitle) == IDYES)
        ReadFileAtPath();
    else
        DocFileSeen.kept = named;
}
