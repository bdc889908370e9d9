// In-process bench: times Brevitor's own routines, linked in unchanged, on a document of the largest size the
// pane takes. Results are Markdown table rows.
//   inproc FILE REPS      start-up, open and save, each repeated
//   inproc first [TAIL]   one StartBrevitor, the first in its process, in milliseconds
#include "stats.h"
#include "app/app.h"
#include "document/document.h"
#include "format/format.h"
#include <cstdlib>
#include <string>

static char Tail[MAX_PATH + 1];

// Handles what is queued (paints, the pane's notifications) the way the program's loop would, and drops
// the WM_QUIT that a closed main window leaves.
static void Settle()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        if (!TranslateAcceleratorA(MainWindow, Accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// A failed step would show a box and the bench would time that instead: stop with the reason.
static void Require(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "inproc: %s (IoFailed %d, last error %lu)\n", what, IoFailed, GetLastError());
    std::exit(1);
}

static double TimeStart(const char *tail)
{
    lstrcpynA(Tail, tail, sizeof Tail);
    KeepRunning = 1;
    double start = NowMs();
    StartBrevitor(GetModuleHandleA(nullptr), Tail, SW_SHOWDEFAULT);
    double took = NowMs() - start;
    Require(IsWindowVisible(MainWindow) && IoFailed == 0, "start-up");
    Require(*tail == '\0' || DocFile != nullptr, "start-up with a file");
    Settle();
    return took;
}

// Ends the editor through its close box (the text is unmodified, so nothing asks), then undoes what a later
// StartBrevitor would otherwise find done: the class registration and the font.
static void Stop()
{
    SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    Settle();
    Require(!IsWindow(MainWindow), "closing");
    DeleteObject(CurrentFont);
    UnregisterClassA(ClassName, Instance);
}

// The steps of WriteDocument without FlushFileBuffers, on the program's own variables.
static void WriteWithoutFlush()
{
    static char text[MaxText + 1];
    Require(GetWindowTextLengthA(EditPane) <= MaxText, "text length");
    DWORD n = (DWORD)SendMessageA(EditPane, WM_GETTEXT, sizeof text, (LPARAM)text);
    CheckIoStep(SetFilePointer(DocFile, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER);
    DWORD written = 0;
    CheckIoStep(WriteFile(DocFile, text, n, &written, nullptr) && written == n);
    CheckIoStep(SetEndOfFile(DocFile));
    SendMessageA(EditPane, EM_SETMODIFY, 0, 0);
}

static void BenchStart(const char *file, int reps)
{
    std::vector<double> empty, withFile;
    for (int i = 0; i < reps; i++) {
        empty.push_back(TimeStart(""));
        Stop();
        withFile.push_back(TimeStart(file));
        Stop();
    }
    PrintRow("StartBrevitor, no file (later starts in one process)", empty, "ms", 3);
    PrintRow("StartBrevitor, 32,767-byte file (later starts in one process)", withFile, "ms", 3);
}

// Each open starts from an empty untitled document, as at start-up or after New. The same bytes put into
// the empty pane by the bench itself show how much of the open is the edit control's.
static void BenchOpen(const char *file, int reps)
{
    static char         text[MaxText + 1];
    std::vector<double> open, openShow, setText;
    OpenDocument(file);
    GetWindowTextA(EditPane, text, sizeof text);
    for (int i = 0; i < reps; i++) {
        NewDocument();
        Settle();
        double before = NowMs();
        SendMessageA(EditPane, WM_SETTEXT, 0, (LPARAM)text);
        setText.push_back(NowMs() - before);
        Settle();
        NewDocument();
        Settle();
        double start = NowMs();
        OpenDocument(file);
        double opened = NowMs();
        UpdateWindow(MainWindow);
        double shown = NowMs();
        Require(IoFailed == 0 && GetWindowTextLengthA(EditPane) == MaxText, "opening");
        open.push_back(opened - start);
        openShow.push_back(shown - start);
        Settle();
    }
    PrintRow("OpenDocument (with ReadDocument), 32,767 bytes", open, "ms", 3);
    PrintRow("OpenDocument, then UpdateWindow: open and show", openShow, "ms", 3);
    PrintRow("WM_SETTEXT of the same bytes into the empty, visible pane, alone", setText, "ms", 3);
}

static void BenchSave(const char *file, int reps)
{
    std::vector<double> save, noFlush, flush;
    OpenDocument(file);
    for (int i = 0; i < reps; i++) {
        double start = NowMs();
        WriteDocument();
        double saved = NowMs();
        Require(IoFailed == 0, "WriteDocument");
        WriteWithoutFlush();
        double written = NowMs();
        Require(IoFailed == 0, "writing");
        BOOL   flushed = FlushFileBuffers(DocFile);
        double done = NowMs();
        Require(flushed, "FlushFileBuffers");
        save.push_back(saved - start);
        noFlush.push_back(written - saved);
        flush.push_back(done - written);
    }
    Require(GetFileSize(DocFile, nullptr) == (DWORD)MaxText, "file size after saving");
    PrintRow("WriteDocument, 32,767 bytes (with FlushFileBuffers)", save, "ms", 3);
    PrintRow("the same steps without FlushFileBuffers", noFlush, "ms", 3);
    PrintRow("FlushFileBuffers alone, after those steps", flush, "ms", 3);
}

int main(int argc, char **argv)
{
    if (argc >= 2 && std::string(argv[1]) == "first") {
        std::printf("%.3f\n", TimeStart(argc >= 3 ? argv[2] : ""));
        Stop();
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: inproc FILE REPS | inproc first [TAIL]\n");
        return 2;
    }
    const char *file = argv[1];
    int         reps = std::atoi(argv[2]);
    // The first start in a process also loads what later ones find loaded; "first" mode times that one.
    TimeStart("");
    Stop();
    std::printf("| routine | median | min - max | n |\n|---|---|---|---|\n");
    BenchStart(file, reps / 10 > 5 ? reps / 10 : 5);
    TimeStart("");
    BenchOpen(file, reps);
    BenchSave(file, reps);
    Stop();
    return 0;
}
