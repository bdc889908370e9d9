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
void   SetTitleFromPath();

// Saving.
void SaveDocument();
void SaveDocumentAs();
void WriteDocument();

// Closing, opening and reverting.
int  AskToSave();
int  CloseDocument();
void DoEndSession(BOOL ending);
void CloseMainWindow();
void NewDocument();
void ChooseDocument();
void OpenDocument(LPCSTR path);
void ReadDocument();
