// Failures of file steps that succeed or half succeed: stale error codes and full disks.
#include "tests/support/documents.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"

// ---------------------------------------------------------------------------------------
// Successful file calls other than CreateFileA leave an earlier error code in place, and
// SendMessage to the pane clears it, so a stale code rarely reaches a file step by itself
// (the Save As dialog does leave one). The program's calls go through this executable's
// import table: a stand-in for each file call can leave a stale code and then make the
// real call, which keeps that code when it succeeds, or fail in its place with a chosen
// number. No step that succeeded may be reported as failing.

enum StaleSource { PlatformOnly, SetBeforeEachCall, FailedCallBeforeEachCall };
static StaleSource Source = PlatformOnly;

static void LeaveStaleCode()
{
    if (Source == SetBeforeEachCall)
        SetLastError(1234);
    else if (Source == FailedCallBeforeEachCall)
        GetFileAttributesA("Z:\\no such folder\\no such file");   // error 3
}

// The next call of the routine named here fails with FailingCode instead of running.
static std::string FailingCall;
static DWORD FailingCode;

static bool FailsHere(const char *name)
{
    if (FailingCall != name)
        return false;
    FailingCall.clear();
    SetLastError(FailingCode);
    return true;
}

static DWORD(WINAPI *RealSetFilePointer)(HANDLE, LONG, PLONG, DWORD);
static BOOL(WINAPI *RealWriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
static BOOL(WINAPI *RealReadFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
static BOOL(WINAPI *RealSetEndOfFile)(HANDLE);
static BOOL(WINAPI *RealFlushFileBuffers)(HANDLE);
static DWORD(WINAPI *RealGetFileSize)(HANDLE, LPDWORD);
static BOOL(WINAPI *RealCloseHandle)(HANDLE);

static DWORD WINAPI StandInSetFilePointer(HANDLE file, LONG low, PLONG high, DWORD method)
{
    if (FailsHere("SetFilePointer"))
        return INVALID_SET_FILE_POINTER;
    LeaveStaleCode();
    return RealSetFilePointer(file, low, high, method);
}

// The full-disk tests also use it to see short writes and to make room right after one,
// as another program deleting a file at that moment would.
static int ShortWritesSeen;
static std::string FreeAfterShortWrite;

static BOOL WINAPI StandInWriteFile(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD done, LPOVERLAPPED overlapped)
{
    if (FailsHere("WriteFile"))
        return FALSE;
    LeaveStaleCode();
    BOOL wrote = RealWriteFile(file, bytes, count, done, overlapped);
    if (wrote && done && *done < count) {
        ShortWritesSeen++;
        if (!FreeAfterShortWrite.empty())
            DeleteFileA(FreeAfterShortWrite.c_str());
        FreeAfterShortWrite.clear();
    }
    return wrote;
}

static BOOL WINAPI StandInReadFile(HANDLE file, LPVOID bytes, DWORD count, LPDWORD done, LPOVERLAPPED overlapped)
{
    LeaveStaleCode();
    return RealReadFile(file, bytes, count, done, overlapped);
}

static BOOL WINAPI StandInSetEndOfFile(HANDLE file)
{
    if (FailsHere("SetEndOfFile"))
        return FALSE;
    LeaveStaleCode();
    return RealSetEndOfFile(file);
}

static BOOL WINAPI StandInFlushFileBuffers(HANDLE file)
{
    if (FailsHere("FlushFileBuffers"))
        return FALSE;
    LeaveStaleCode();
    return RealFlushFileBuffers(file);
}

static DWORD WINAPI StandInGetFileSize(HANDLE file, LPDWORD high)
{
    LeaveStaleCode();
    return RealGetFileSize(file, high);
}

static BOOL WINAPI StandInCloseHandle(HANDLE object)
{
    LeaveStaleCode();
    return RealCloseHandle(object);
}

// Points this executable's import of a KERNEL32 routine at a stand-in; returns the real one.
static void *Reroute(const char *name, void *standIn)
{
    BYTE *base = (BYTE *)GetModuleHandleA(nullptr);
    IMAGE_NT_HEADERS *headers = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR *dll = (IMAGE_IMPORT_DESCRIPTOR *)(base + imports.VirtualAddress); dll->Name; dll++) {
        if (lstrcmpiA((char *)(base + dll->Name), "kernel32.dll") != 0)
            continue;
        IMAGE_THUNK_DATA *names = (IMAGE_THUNK_DATA *)(base + dll->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                lstrcmpA((char *)((IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData))->Name, name) != 0)
                continue;
            DWORD protection;
            VirtualProtect(&slots->u1.Function, sizeof(void *), PAGE_READWRITE, &protection);
            void *real = (void *)slots->u1.Function;
            slots->u1.Function = (ULONG_PTR)standIn;
            VirtualProtect(&slots->u1.Function, sizeof(void *), protection, &protection);
            return real;
        }
    }
    return nullptr;
}

template <typename Routine> static void Reroute(const char *name, Routine standIn, Routine *real)
{
    if (!*real)
        *real = (Routine)Reroute(name, (void *)standIn);
    ASSERT_NE(*real, nullptr) << name << " is not imported";
}

static void RerouteFileCalls()
{
    Reroute("SetFilePointer", StandInSetFilePointer, &RealSetFilePointer);
    Reroute("WriteFile", StandInWriteFile, &RealWriteFile);
    Reroute("ReadFile", StandInReadFile, &RealReadFile);
    Reroute("SetEndOfFile", StandInSetEndOfFile, &RealSetEndOfFile);
    Reroute("FlushFileBuffers", StandInFlushFileBuffers, &RealFlushFileBuffers);
    Reroute("GetFileSize", StandInGetFileSize, &RealGetFileSize);
    Reroute("CloseHandle", StandInCloseHandle, &RealCloseHandle);
}

typedef EditorTest StaleErrorCodes;

struct StaleRow {
    const char *name;
    void (*act)(const std::string &path);     // starts with stale.brv open and unmodified
    void (*check)(const std::string &path);
};

static void SaveTyped(const std::string &)
{
    TypeText("typed, ");
    SendCommand(IDM_SAVE);
}

static void CheckSaved(const std::string &path)
{
    EXPECT_EQ(ReadBytes(path), "typed, on disk");
    EXPECT_FALSE(Modified());
}

static void SaveAsElsewhere(const std::string &)
{
    TypeText("moved, ");
    ExpectFileDialog(TempPath("moved.brv"));
    SendCommand(IDM_SAVEAS);
}

static void CheckMoved(const std::string &path)
{
    EXPECT_EQ(ReadBytes(TempPath("moved.brv")), "moved, on disk");
    EXPECT_EQ(ReadBytes(path), "on disk");
    EXPECT_EQ(Caption(MainWindow), "moved.brv");
    EXPECT_FALSE(Modified());
}

static void RevertTyped(const std::string &)
{
    TypeText("dropped, ");
    ExpectBox(IDOK);   // the revert question
    SendCommand(IDM_REVERT);
}

static void CheckReverted(const std::string &)
{
    EXPECT_EQ(PaneText(), "on disk");
    EXPECT_FALSE(Modified());
}

static void StartNew(const std::string &) { SendCommand(IDM_NEW); }

static void CheckNew(const std::string &path)
{
    EXPECT_EQ(Caption(MainWindow), "Untitled");
    EXPECT_EQ(DocFile, nullptr);
    EXPECT_EQ(WriteOpenError(path), 0u) << "the file was let go";
}

static void OpenOther(const std::string &) { OpenThroughDialog(TempPath("other.brv")); }

static void CheckOther(const std::string &)
{
    EXPECT_EQ(Caption(MainWindow), "other.brv");
    EXPECT_EQ(PaneText(), "the other one");
}

static void CloseWindow(const std::string &) { SendCommand(IDM_CLOSE); }

static void CheckClosed(const std::string &) { EXPECT_FALSE(IsWindow(MainWindow)); }

TEST_F(StaleErrorCodes, SucceededFileStepsAreNeverReportedAsFailing)
{
    const StaleRow rows[] = {
        {"Save", SaveTyped, CheckSaved},
        {"Save As to a new file", SaveAsElsewhere, CheckMoved},
        {"Revert to Saved", RevertTyped, CheckReverted},
        {"New", StartNew, CheckNew},
        {"Open", OpenOther, CheckOther},
        {"Close", CloseWindow, CheckClosed},
    };
    const struct { StaleSource source; const char *name; } sources[] = {
        {PlatformOnly, "only what the platform leaves"},
        {SetBeforeEachCall, "1234 left before each file call"},
        {FailedCallBeforeEachCall, "a failed call before each file call"},
    };
    RerouteFileCalls();
    if (HasFatalFailure())
        return;
    std::string path = TempPath("stale.brv");
    WriteBytes(TempPath("other.brv"), "the other one");
    for (const StaleRow &row : rows) {
        for (const auto &source : sources) {
            SCOPED_TRACE(testing::Message() << row.name << ", " << source.name);
            StopEditor();   // lets go of the files of the row before
            WriteBytes(path, "on disk");
            DeleteFileA(TempPath("moved.brv").c_str());
            StartEditor(path.c_str());
            ClearBoxes();
            Source = source.source;
            row.act(path);
            Source = PlatformOnly;
            for (const SeenBox &box : Boxes())
                EXPECT_EQ(box.text.find("input/output error"), std::string::npos) << box.text;
            row.check(path);
            EXPECT_EQ(PendingReplies(), 0);
        }
    }
}

// Whichever step of a save fails, its number is shown in full, unsigned, and the text
// stays unsaved; the next save, when nothing fails, writes it.
typedef EditorTest ErrorNumbers;

TEST_F(ErrorNumbers, FailedSaveStepShowsItsNumberInFullAndTheTextStaysUnsaved)
{
    struct Row { const char *call; DWORD code; const char *shown; };
    const Row rows[] = {
        {"SetFilePointer", ERROR_ACCESS_DENIED, "5"},
        {"WriteFile", ERROR_DISK_FULL, "112"},
        {"SetEndOfFile", 1234567, "1234567"},
        {"FlushFileBuffers", 0xC0000005, "3221225477"},
    };
    RerouteFileCalls();
    if (HasFatalFailure())
        return;
    std::string path = TempPath("failing.brv");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.call);
        StopEditor();
        WriteBytes(path, "on disk");
        StartEditor(path.c_str());
        ClearBoxes();
        TypeText("edited, ");
        FailingCall = row.call;
        FailingCode = row.code;
        ExpectBox(IDOK);
        SendCommand(IDM_SAVE);
        EXPECT_EQ(FailingCall, "") << "the step was reached";
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_TRUE(IsMessage(Boxes()[0], IoErrorNotice, row.shown));
        EXPECT_TRUE(Modified());
        EXPECT_EQ(Caption(MainWindow), "failing.brv");
        EXPECT_EQ(WriteOpenError(path), (DWORD)ERROR_SHARING_VIOLATION) << "the file stays the document's";

        ClearBoxes();
        SendCommand(IDM_SAVE);
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(ReadBytes(path), "edited, on disk");
        EXPECT_FALSE(Modified());
    }
}

// ---------------------------------------------------------------------------------------
// Full disks. WriteFile may report success having written only part; the save must go on
// with the rest and, when that fails, show the platform's number and stay unsaved.

// The CTest fixture mounts a 64 KiB tmpfs in <build>\tinyfs and leaves a marker in it.
static std::string TinyDisk()
{
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string dir = exe;
    dir.resize(dir.rfind('\\'));   // the tests folder
    dir.resize(dir.rfind('\\'));   // the build folder
    return dir + "\\tinyfs";
}

// Fills the disk with filler, then gives back room bytes of it; returns the filler's size.
static DWORD FillLeaving(const std::string &filler, DWORD room)
{
    HANDLE file = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    static char chunk[4096];
    DWORD total = 0;
    for (;;) {
        DWORD written = 0;
        if (!WriteFile(file, chunk, sizeof chunk, &written, nullptr))
            break;
        total += written;
        if (written < sizeof chunk)
            break;
    }
    DWORD kept = total > room ? total - room : 0;
    SetFilePointer(file, (LONG)kept, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    return kept;
}

// A document of 20,001 bytes on the tiny disk, which then has 8 KiB left: the first
// write of its save stops after 8 KiB. Returns the text.
static std::string StartOnFullTinyDisk(std::string &path, std::string &filler)
{
    std::string disk = TinyDisk();
    path = disk + "\\doc.brv";
    filler = disk + "\\filler";
    DeleteFileA(path.c_str());
    StopEditor();
    StartEditor(path.c_str());
    EXPECT_NE(DocFile, nullptr);
    EXPECT_GT(FillLeaving(filler, 8192), 0u) << "could not fill " << disk;
    std::string text;
    while (text.size() < 20000)
        text += "Twenty thousand bytes do not fit into eight thousand.\r\n";
    text.resize(20000);
    SetWindowTextA(EditPane, text.c_str());
    TypeText("!");
    RerouteFileCalls();
    ShortWritesSeen = 0;
    return "!" + text;
}

static bool TinyDiskMounted()
{
    return GetFileAttributesA((TinyDisk() + "\\mounted").c_str()) != INVALID_FILE_ATTRIBUTES;
}

typedef EditorTest ShortWrites;

TEST_F(ShortWrites, DiskThatStaysFullGives112AndTheTextIsNeverCountedAsSaved)
{
    if (!TinyDiskMounted())
        GTEST_SKIP() << "no tiny tmpfs at " << TinyDisk() << " (CTest mounts one when it may)";
    std::string path, filler;
    std::string text = StartOnFullTinyDisk(path, filler);
    ExpectBox(IDOK);
    SendCommand(IDM_SAVE);
    EXPECT_EQ(ShortWritesSeen, 1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(IsIoError(Boxes()[0], ERROR_DISK_FULL));
    EXPECT_TRUE(Modified()) << "a save that did not write every byte counts as unsaved";
    std::string landed = ReadBytes(path);
    EXPECT_GT(landed.size(), 0u);
    EXPECT_LT(landed.size(), text.size());
    EXPECT_EQ(landed, text.substr(0, landed.size()));
    EXPECT_EQ(Caption(MainWindow), "doc.brv");

    // With room again the same document saves whole.
    ClearBoxes();
    DeleteFileA(filler.c_str());
    SendCommand(IDM_SAVE);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(ReadBytes(path), text);
    EXPECT_FALSE(Modified());
    SendCommand(IDM_NEW);
    DeleteFileA(path.c_str());
}

TEST_F(ShortWrites, RestIsWrittenWhenRoomAppearsAfterAShortWrite)
{
    if (!TinyDiskMounted())
        GTEST_SKIP() << "no tiny tmpfs at " << TinyDisk() << " (CTest mounts one when it may)";
    std::string path, filler;
    std::string text = StartOnFullTinyDisk(path, filler);
    FreeAfterShortWrite = filler;
    SendCommand(IDM_SAVE);
    FreeAfterShortWrite.clear();
    EXPECT_EQ(ShortWritesSeen, 1);
    EXPECT_TRUE(Boxes().empty());
    std::string landed = ReadBytes(path);
    EXPECT_EQ(landed.size(), text.size()) << "every byte, not only those of the first write";
    EXPECT_TRUE(landed == text);
    EXPECT_FALSE(Modified());
    SendCommand(IDM_NEW);
    DeleteFileA(path.c_str());
    DeleteFileA(filler.c_str());
}

typedef EditorTest FullDisk;

// The trailing dot keeps the dialog from adding ".brv" to the device's name.
TEST_F(FullDisk, SaveAsOntoDevFullGives112KeepsTheTextUnsavedAndQuittingStillAsks)
{
    TypeText("nowhere to go");
    ExpectFileDialog("Z:\\dev\\full.");
    ExpectBox(IDOK);
    SendCommand(IDM_SAVEAS);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_TRUE(Boxes()[0].isFileDialog);
    EXPECT_TRUE(IsIoError(Boxes()[1], ERROR_DISK_FULL));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(PaneText(), "nowhere to go");
    EXPECT_EQ(Caption(MainWindow), "full.");

    struct Row { int answer; bool ends; };
    const Row rows[] = {{IDCANCEL, false}, {IDYES, false}, {IDNO, true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.answer);
        ClearBoxes();
        ExpectBox(row.answer);
        if (row.answer == IDYES)
            ExpectBox(IDOK);   // the save fails again
        SendCommand(IDM_EXIT);
        ASSERT_FALSE(Boxes().empty());
        EXPECT_TRUE(IsMessage(Boxes()[0], SaveQuestion, "full."));
        if (row.answer == IDYES) {
            ASSERT_EQ(Boxes().size(), 2u);
            EXPECT_TRUE(IsIoError(Boxes()[1], ERROR_DISK_FULL));
        }
        EXPECT_EQ(IsWindow(MainWindow) == FALSE, row.ends);
        if (!row.ends) {
            EXPECT_TRUE(Modified());
        }
    }
}
