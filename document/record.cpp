// The document record, the shared file dialog, message boxes and the check after every file step.
#include "document/document.h"
#include "app/app.h"
#include "app/resource.h"

HANDLE   DocFile;
char     DocPath[260];
char     DocTitle[64];
int      IoFailed;
SeenFile DocFileSeen;

OPENFILENAMEA FileDialog;
char          ChosenPath[260];
char          ChosenTitle[64];
char          FilterBuffer[256];
char          DefaultExt[4];

const char EmptyText[] = "";
const char QueryCaption[] = "???";

// The filter string ends with its own separator; every copy of it becomes a NUL,
// which leaves the double NUL the dialogs need at the end.
static void LoadFilter()
{
    int n = LoadStringA(Instance, IDS_FILTER, FilterBuffer, sizeof FilterBuffer);
    if (n <= 0)
        return;
    char separator = FilterBuffer[n - 1];
    for (int i = 0; i < n; i++) {
        if (FilterBuffer[i] == separator)
            FilterBuffer[i] = '\0';
    }
}

void InitFileDialog()
{
    LoadFilter();
    LoadStringA(Instance, IDS_DEFEXT, DefaultExt, sizeof DefaultExt);
    ChosenPath[0] = '\0';
    ChosenTitle[0] = '\0';
    FileDialog = OPENFILENAMEA{};
    FileDialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    FileDialog.hwndOwner = MainWindow;
    FileDialog.hInstance = Instance;
    FileDialog.lpstrFilter = FilterBuffer;
    FileDialog.nFilterIndex = 1;
    FileDialog.lpstrFile = ChosenPath;
    FileDialog.nMaxFile = sizeof ChosenPath;
    FileDialog.lpstrFileTitle = ChosenTitle;
    FileDialog.nMaxFileTitle = sizeof ChosenTitle;
    FileDialog.Flags = OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT;
    FileDialog.lpstrDefExt = DefaultExt;
}

// wsprintfA knows no buffer size, so the argument is cut to what the output buffer can take.
int ShowMessage(UINT stringId, UINT icon, UINT buttons, LPCSTR caption, LPCSTR argument)
{
    char format[256];
    char text[256];
    char bounded[sizeof text];
    MessageBeep(0);
    int room = (int)sizeof text - LoadStringA(Instance, stringId, format, sizeof format);
    lstrcpynA(bounded, argument, room > 1 ? room : 1);
    wsprintfA(text, format, bounded);
    return MessageBoxA(MainWindow, text, caption, icon | buttons | MB_SETFOREGROUND);
}

// IoFailed is set only after the box closes: every message MainWndProc gets meanwhile clears it.
void CheckIoError()
{
    DWORD code = GetLastError();
    if (code == 0) {
        IoFailed = 0;
        return;
    }
    char number[12];
    wsprintfA(number, "%lu", code);
    ShowMessage(IDS_IOERROR, MB_ICONEXCLAMATION, MB_OK, nullptr, number);
    IoFailed = 1;
}

// A successful file call may leave an earlier error code in place, and a failed one
// may leave none: judge the step by its result and report a failure in any case.
void CheckIoStep(BOOL succeeded)
{
    if (succeeded)
        SetLastError(0);
    else if (GetLastError() == 0)
        SetLastError(ERROR_GEN_FAILURE);
    CheckIoError();
}

BOOL ReleaseDocFile()
{
    BOOL closed = CloseHandle(DocFile);
    DocFile = nullptr;
    DocPath[0] = '\0';
    return closed;
}

// After a file could not be opened or created: the document keeps its text but no file, path or
// title. The failure is reported even when it left no code. The caption change re-enters
// MainWndProc, which clears IoFailed, so the flag is set after it.
void LoseDocFile()
{
    CheckIoStep(FALSE);
    DocFile = nullptr;
    DocPath[0] = '\0';
    DocTitle[0] = '\0';
    SetWindowTextA(MainWindow, UntitledName);
    IoFailed = 1;
}

// Held for reading and writing, shared for reading only. A path that DocPath cannot
// hold is refused here, as the platform's ANSI calls refuse it, whatever the platform does.
HANDLE CreateDocFile(LPCSTR path, DWORD disposition)
{
    if (lstrlenA(path) >= (int)sizeof DocPath) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// The file becomes the document's, as it is now. CreateFileA leaves 183 for a file that existed, which
// is no failure. A full path that does not fit is left relative, as the user gave it.
void HoldDocFile(HANDLE file, LPCSTR path)
{
    DocFile = file;
    lstrcpynA(DocPath, path, sizeof DocPath);
    char *full = DocFileSeen.fullPath;
    DWORD n = GetFullPathNameA(DocPath, sizeof DocFileSeen.fullPath, full, nullptr);
    if (n == 0 || n >= sizeof DocFileSeen.fullPath)
        lstrcpynA(full, DocPath, sizeof DocFileSeen.fullPath);
    RememberDocFile();
    SetLastError(0);
}

// A device has no file information; it is never checked.
void RememberDocFile()
{
    if (!GetFileInformationByHandle(DocFile, &DocFileSeen.info))
        DocFileSeen.info = BY_HANDLE_FILE_INFORMATION{};
}

// The same file, of the same size and last-write time: a rewrite or an append shows in one of them.
BOOL SameFileVersion(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b)
{
    return a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow &&
           a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

// The hold keeps Windows programs out, but under Wine any Linux program can still rewrite the file,
// rename another over its path or remove it, and the handle then reads and writes a file that no path
// names. So the path is opened again, with no access and full sharing so that the hold does not stand in
// the way, and both are compared by file index (the inode under Wine). The volume serial is left out:
// Wine gives 0 for a file that no path names. What the path names is given back in *named.
DocFileState CheckDocFile(BY_HANDLE_FILE_INFORMATION *named)
{
    BY_HANDLE_FILE_INFORMATION held, found = {};
    if (GetFileType(DocFile) != FILE_TYPE_DISK || !GetFileInformationByHandle(DocFile, &held))
        return FileAsLeft;
    HANDLE path = CreateFileA(DocFileSeen.fullPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (path == INVALID_HANDLE_VALUE)
        return FileRemoved;
    BOOL same = GetFileInformationByHandle(path, &found) && found.nFileIndexHigh == held.nFileIndexHigh &&
                found.nFileIndexLow == held.nFileIndexLow;
    CloseHandle(path);
    if (named)
        *named = found;
    if (!same)
        return FileReplaced;
    return SameFileVersion(held, DocFileSeen.info) ? FileAsLeft : FileChanged;
}

// Makes the file that the path names now the document's (OPEN_ALWAYS creates one where there is none)
// and lets the old handle go. When the path cannot be opened the old file stays held.
BOOL HoldFileAtPath(DWORD disposition)
{
    HANDLE file = CreateDocFile(DocFileSeen.fullPath, disposition);
    if (file == INVALID_HANDLE_VALUE) {
        CheckIoStep(FALSE);
        return FALSE;
    }
    CheckIoStep(CloseHandle(DocFile));
    DocFile = file;
    RememberDocFile();
    return !IoFailed;
}

// The title is the path's last component, extension kept, as GetFileTitleA gives it where names
// show their extensions. It is taken here because that call would load comdlg32, and half a dozen
// more DLLs with it, on the way to showing a command-line file. A name too long for the title is
// cut to fit. CharNextA keeps the second byte of a double-byte character from passing for a separator.
void SetTitleFromPath()
{
    LPCSTR name = DocPath;
    for (LPCSTR p = DocPath; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    }
    lstrcpynA(DocTitle, name, sizeof DocTitle);
    SetWindowTextA(MainWindow, DocTitle);
}
