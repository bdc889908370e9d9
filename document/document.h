// Documents: the document record, the file dialog record, messages, I/O checks, save, open, close, revert.
#pragma once
#include <windows.h>
#include <commdlg.h>

// The pane's text limit; the text buffers hold this many bytes and a terminator.
const int MaxText = 32767;

extern HANDLE DocFile;      // the open document file, held while it is the document; null without one
extern char   DocPath[260]; // its path as opened or chosen; empty exactly when DocFile is null
extern char   DocTitle[64]; // title in prompts and, normally, in the caption
extern int    IoFailed;     // 1 when the last file step or Save As dialog failed
// The held file as Brevitor last read or wrote it, to tell whether another program changed it since.
struct SeenFile {
    char                       fullPath[260]; // DocPath made full: a file dialog may change the current folder
    BY_HANDLE_FILE_INFORMATION info;          // its index, size and last-write time then
    BY_HANDLE_FILE_INFORMATION kept;          // what the path named when the user last chose to keep the pane
};
extern SeenFile DocFileSeen;

extern OPENFILENAMEA FileDialog;        // shared by Open and Save As, so choices carry over
extern char          ChosenPath[260];   // the dialog's path buffer
extern char          ChosenTitle[64];   // the dialog's title buffer
extern char          FilterBuffer[256]; // file-type filter, NUL-separated
extern char          DefaultExt[4];     // extension given to a name typed without one

extern const char EmptyText[];    // clears the pane
extern const char QueryCaption[]; // caption of every question box

// Record, messages and checks.
void   InitFileDialog();
int    ShowMessage(UINT stringId, UINT icon, UINT buttons, LPCSTR caption, LPCSTR argument);
void   CheckIoError();
void   CheckIoStep(BOOL succeeded);
BOOL   ReleaseDocFile();
void   LoseDocFile();
HANDLE CreateDocFile(LPCSTR path, DWORD disposition);
void   HoldDocFile(HANDLE file, LPCSTR path);
void   SetTitleFromPath();

// Whether another program changed the held file since Brevitor last read or wrote it: changed in place,
// or replaced (its path names another file now), or removed (the path names none that opens).
enum DocFileState { FileAsLeft, FileChanged, FileReplaced, FileRemoved };
void         RememberDocFile();
DocFileState CheckDocFile(BY_HANDLE_FILE_INFORMATION *named = nullptr);
BOOL         SameFileVersion(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b);
BOOL         HoldFileAtPath(DWORD disposition);

// Saving.
void SaveDocument();
void SaveDocumentAs();
void WriteDocument();

// Closing, opening and reverting.
int  AskToSave();
int  CloseDocument();
void DoEndSession(BOOL ending);
void OfferToReread();
void CloseMainWindow();
void NewDocument();
void ChooseDocument();
void OpenDocument(LPCSTR path);
void ReadDocument();
