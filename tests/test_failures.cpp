// Failures of file steps that succeed or half succeed: stale error codes and full disks.
#include "tests/support/documents.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"
#include "format/format.h"

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

// The next call of the routine named here fails with FailingCode instead of running
// (CloseHandle closes all the same, as a close whose last flush failed does).
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
static HANDLE(WINAPI *RealCreateFileA)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);

static DWORD WINAPI StandInSetFilePointer(HANDLE file, LONG low, PLONG high, DWORD method)
{
    if (FailsHere("SetFilePointer"))
        return INVALID_SET_FILE_POINTER;
    LeaveStaleCode();
    return RealSetFilePointer(file, low, high, method);
}

// A full disk makes WriteFile report success having written only part: the next write can be
// made to do so, before a failure named in FailingCall takes its turn. Short writes are counted.
// A file that shrank after its size was taken gives a short read the same way.
enum Shortfall { WholeWrite, HalfWritten, NothingWritten, HalfRead };
static Shortfall NextWrite = WholeWrite;
static int ShortWritesSeen;

static BOOL WINAPI StandInWriteFile(HANDLE file, LPCVOID bytes, DWORD count, LPDWORD done, LPOVERLAPPED overlapped)
{
    DWORD part = NextWrite == HalfWritten ? count / 2 : NextWrite == NothingWritten ? 0 : count;
    NextWrite = WholeWrite;
    if (part == count && FailsHere("WriteFile"))
        return FALSE;
    LeaveStaleCode();
    BOOL wrote = RealWriteFile(file, bytes, part, done, overlapped);
    if (wrote && done && *done < count)
        ShortWritesSeen++;
    return wrote;
}

static BOOL WINAPI StandInReadFile(HANDLE file, LPVOID bytes, DWORD count, LPDWORD done, LPOVERLAPPED overlapped)
{
    if (FailsHere("ReadFile"))
        return FALSE;
    LeaveStaleCode();
    DWORD part = NextWrite == HalfRead ? count / 2 : count;
    return RealReadFile(file, bytes, part, done, overlapped);
}

static BOOL WINAPI StandInSetEndOfFile(HANDLE file)
{
    if (FailsHere("SetEndOfFile"))
        return FALSE;
    LeaveStaleCode();
    return RealSetEndOfFile(file);
}

static int FlushesSeen;
static BOOL WINAPI StandInFlushFileBuffers(HANDLE file)
{
    if (FailsHere("FlushFileBuffers"))
        return FALSE;
    FlushesSeen++;
    LeaveStaleCode();
    return RealFlushFileBuffers(file);
}

static DWORD WINAPI StandInGetFileSize(HANDLE file, LPDWORD high)
{
    if (FailsHere("GetFileSize"))
        return INVALID_FILE_SIZE;
    LeaveStaleCode();
    return RealGetFileSize(file, high);
}

static BOOL WINAPI StandInCloseHandle(HANDLE object)
{
    if (FailsHere("CloseHandle")) {
        RealCloseHandle(object);
        SetLastError(FailingCode);
        return FALSE;
    }
    LeaveStaleCode();
    return RealCloseHandle(object);
}

// It sets the code itself, so nothing stale can reach it.
static HANDLE WINAPI StandInCreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                        DWORD disposition, DWORD flags, HANDLE model)
{
    if (FailsHere("CreateFileA"))
        return INVALID_HANDLE_VALUE;
    return RealCreateFileA(path, access, share, security, disposition, flags, model);
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
    Reroute("CreateFileA", StandInCreateFileA, &RealCreateFileA);
}

// What a case does with stale.brv open and unmodified: types text, answers the revert question
// or a file dialog with a name in the test's folder, then gives the command, after an OK for
// each numbered error it is to raise.
struct Act {
    WORD command;
    const char *typed;
    const char *chosen;
};
const Act SaveTyped = {IDM_SAVE, "typed, ", nullptr}, SaveAsElsewhere = {IDM_SAVEAS, "moved, ", "moved.brv"};
const Act RevertTyped = {IDM_REVERT, "dropped, ", nullptr}, StartNew = {IDM_NEW, "", nullptr};
const Act OpenOther = {IDM_OPEN, "", "other.brv"}, OpenItsOwnFile = {IDM_OPEN, "", "stale.brv"};
const Act CloseIt = {IDM_CLOSE, "", nullptr};
static int ErrorBoxes;

static void Do(const Act &act)
{
    TypeText(act.typed);
    if (act.command == IDM_REVERT)
        ExpectBox(IDOK);
    if (act.chosen)
        ExpectFileDialog(TempPath(act.chosen));
    for (int i = 0; i < ErrorBoxes; i++)
        ExpectBox(IDOK);
    SendCommand(act.command);
}

struct StaleRow {
    const char *name;
    Act act;
    Shortfall firstWrite;
    void (*check)(const std::string &path);
};

static void CheckSaved(const std::string &path)
{
    EXPECT_EQ(ReadBytes(path), "typed, on disk");
    EXPECT_FALSE(Modified());
}

static void CheckMoved(const std::string &path)
{
    EXPECT_EQ(ReadBytes(TempPath("moved.brv")), "moved, on disk");
    EXPECT_EQ(ReadBytes(path), "on disk");
    EXPECT_EQ(Caption(MainWindow), "moved.brv");
    EXPECT_FALSE(Modified());
}

static void CheckReverted(const std::string &)
{
    EXPECT_EQ(PaneText(), "on disk");
    EXPECT_FALSE(Modified());
}

static void CheckNew(const std::string &path)
{
    EXPECT_EQ(Caption(MainWindow), "Untitled");
    EXPECT_EQ(DocFile, nullptr);
    EXPECT_EQ(WriteOpenError(path), 0u) << "the file was let go";
}

static void CheckOther(const std::string &)
{
    EXPECT_EQ(Caption(MainWindow), "other.brv");
    EXPECT_EQ(PaneText(), "the other one");
}

static void CheckHalfRead(const std::string &) { EXPECT_EQ(PaneText(), "the ot") << "what was read, nothing more"; }

static void CheckReopened(const std::string &path)
{
    EXPECT_EQ(Caption(MainWindow), "stale.brv");
    EXPECT_STREQ(DocPath, path.c_str());
    EXPECT_EQ(PaneText(), "on disk");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(WriteOpenError(path), (DWORD)ERROR_SHARING_VIOLATION) << "held again";
}

static void CheckClosed(const std::string &path)
{
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_EQ(WriteOpenError(path), 0u) << "the file was let go";
}

// Each case starts with stale.brv ("on disk") open, other.brv beside it, and the file calls rerouted.
class FileSteps : public EditorTest {
protected:
    std::string path;
    void SetUp() override
    {
        EditorTest::SetUp();
        Source = PlatformOnly;
        FailingCall.clear();
        NextWrite = WholeWrite;
        ShortWritesSeen = 0;
        FlushesSeen = 0;
        ErrorBoxes = 0;
        RerouteFileCalls();
        path = TempPath("stale.brv");
        StopEditor();   // lets go of the files first
        WriteBytes(TempPath("other.brv"), "the other one");
        RestartOn(path, "on disk");
    }
};

class StaleErrorCodes : public FileSteps, public testing::WithParamInterface<std::tuple<StaleRow, StaleSource>> {
};

TEST_P(StaleErrorCodes, SucceededFileStepsAreNeverReportedAsFailing)
{
    const StaleRow &row = std::get<0>(GetParam());
    Source = std::get<1>(GetParam());
    NextWrite = row.firstWrite;
    Do(row.act);
    Source = PlatformOnly;
    EXPECT_EQ(ShortWritesSeen, row.firstWrite == HalfWritten ? 1 : 0);
    EXPECT_EQ(FlushesSeen, row.act.command == IDM_SAVE || row.act.command == IDM_SAVEAS ? 1 : 0) << "each save flushes";
    for (const SeenBox &box : Boxes())
        EXPECT_EQ(box.text.find("input/output error"), std::string::npos) << box.text;
    row.check(path);
}

const StaleRow StaleRows[] = {
    {"Save", SaveTyped, WholeWrite, CheckSaved},
    {"Save whose first write is short", SaveTyped, HalfWritten, CheckSaved},
    {"Save As to a new file", SaveAsElsewhere, WholeWrite, CheckMoved},
    {"Revert to Saved", RevertTyped, WholeWrite, CheckReverted},
    {"New", StartNew, WholeWrite, CheckNew},
    {"Open", OpenOther, WholeWrite, CheckOther},
    {"Open of a file that shrank before the read", OpenOther, HalfRead, CheckHalfRead},
    {"Open of the document's own file", OpenItsOwnFile, WholeWrite, CheckReopened},
    {"Close", CloseIt, WholeWrite, CheckClosed},
};
static std::string StaleName(const testing::TestParamInfo<std::tuple<StaleRow, StaleSource>> &info)
{
    const char *sources[] = {"PlatformOnly", "Stale1234", "StaleFromAFailedCall"};
    return CaseName(std::get<0>(info.param).name) + "_" + sources[std::get<1>(info.param)];
}
INSTANTIATE_TEST_SUITE_P(EveryStep, StaleErrorCodes,
                         testing::Combine(testing::ValuesIn(StaleRows),
                                          testing::Values(PlatformOnly, SetBeforeEachCall, FailedCallBeforeEachCall)),
                         StaleName);

// Whichever file step fails, its number is shown in full, unsigned; a step that failed
// without a number shows 31 (a device failure), a write that wrote nothing 29.
struct FailingRow {
    const char *name;
    Act act;
    const char *call;   // fails with code, after a write cut short as write says
    DWORD code;
    Shortfall write;
    const char *shown;
    void (*check)(const std::string &path);
};

class ErrorNumbers : public FileSteps, public testing::WithParamInterface<FailingRow> {
};

TEST_P(ErrorNumbers, FailedStepShowsItsNumberInFullAndLeavesWhatTheUserHad)
{
    const FailingRow &row = GetParam();
    FailingCall = row.call;
    FailingCode = row.code;
    NextWrite = row.write;
    ErrorBoxes = 1;
    Do(row.act);
    ErrorBoxes = 0;
    EXPECT_EQ(FailingCall, "") << "the step was reached";
    EXPECT_EQ(NextWrite, WholeWrite) << "the write was reached";
    FailingCall.clear();
    ASSERT_FALSE(Boxes().empty());
    EXPECT_TRUE(IsMessage(Boxes().back(), IoErrorNotice, row.shown));
    row.check(path);
}

// The text stays unsaved in the document's file; the next save, when nothing fails, writes it.
static void CheckUnsavedThenSaved(const std::string &path)
{
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Caption(MainWindow), "stale.brv");
    EXPECT_EQ(WriteOpenError(path), (DWORD)ERROR_SHARING_VIOLATION) << "the file stays the document's";
    ClearBoxes();
    SendCommand(IDM_SAVE);
    EXPECT_TRUE(Boxes().empty());
    CheckSaved(path);
}

const FailingRow SaveRows[] = {
    {"SetFilePointer", SaveTyped, "SetFilePointer", ERROR_ACCESS_DENIED, WholeWrite, "5", CheckUnsavedThenSaved},
    {"WriteFile", SaveTyped, "WriteFile", ERROR_DISK_FULL, WholeWrite, "112", CheckUnsavedThenSaved},
    {"SetEndOfFile", SaveTyped, "SetEndOfFile", 1234567, WholeWrite, "1234567", CheckUnsavedThenSaved},
    {"FlushFileBuffers", SaveTyped, "FlushFileBuffers", 0xC0000005, WholeWrite, "3221225477", CheckUnsavedThenSaved},
    {"WriteFile failing without a code", SaveTyped, "WriteFile", 0, WholeWrite, "31", CheckUnsavedThenSaved},
    {"WriteFile writing nothing", SaveTyped, "", 0, NothingWritten, "29", CheckUnsavedThenSaved},
    {"a short write, then a full disk", SaveTyped, "WriteFile", ERROR_DISK_FULL, HalfWritten, "112",
     CheckUnsavedThenSaved},
};
static std::string RowName(const testing::TestParamInfo<FailingRow> &info) { return CaseName(info.param.name); }
INSTANTIATE_TEST_SUITE_P(Save, ErrorNumbers, testing::ValuesIn(SaveRows), RowName);

// Open: the other file is the document, held, and nothing of it is shown.
static void CheckOtherUnread(const std::string &path)
{
    EXPECT_EQ(Caption(MainWindow), "other.brv");
    EXPECT_NE(DocFile, nullptr);
    EXPECT_EQ(PaneText(), "");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(WriteOpenError(TempPath("other.brv")), (DWORD)ERROR_SHARING_VIOLATION);
    EXPECT_EQ(WriteOpenError(path), 0u) << "the earlier file was let go";
}

// Revert: the user's edit survives, unsaved, in the same document.
static void CheckEditKept(const std::string &path)
{
    EXPECT_EQ(PaneText(), "dropped, on disk");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Caption(MainWindow), "stale.brv");
    EXPECT_EQ(WriteOpenError(path), (DWORD)ERROR_SHARING_VIOLATION);
}

// Save As that could not let go of the old file: no file, same title, nothing created.
static void CheckNotMoved(const std::string &path)
{
    EXPECT_EQ(DocFile, nullptr);
    EXPECT_STREQ(DocPath, "");
    EXPECT_STREQ(DocTitle, "stale.brv");
    EXPECT_EQ(Caption(MainWindow), "stale.brv");
    EXPECT_EQ(PaneText(), "moved, on disk");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(ReadBytes(TempPath("moved.brv")), "<missing>");
    EXPECT_EQ(ReadBytes(path), "on disk");
}

// An open or create that failed: no file, no title, the earlier file let go, nothing created.
static void CheckLostAfterOpen(const std::string &path)
{
    ExpectFileLost();
    EXPECT_EQ(PaneText(), "");
    EXPECT_EQ(WriteOpenError(path), 0u) << "the earlier file was let go";
}

static void CheckLostAfterSaveAs(const std::string &path)
{
    ExpectFileLost();
    EXPECT_EQ(PaneText(), "moved, on disk");
    EXPECT_TRUE(Modified());
    EXPECT_EQ(ReadBytes(TempPath("moved.brv")), "<missing>");
    EXPECT_EQ(ReadBytes(path), "on disk");
}

const FailingRow OtherRows[] = {
    {"Open, opening failing without a code", OpenOther, "CreateFileA", 0, WholeWrite, "31", CheckLostAfterOpen},
    {"Save As, creating failing without a code", SaveAsElsewhere, "CreateFileA", 0, WholeWrite, "31",
     CheckLostAfterSaveAs},
    {"Open, size", OpenOther, "GetFileSize", ERROR_ACCESS_DENIED, WholeWrite, "5", CheckOtherUnread},
    {"Open, read", OpenOther, "ReadFile", ERROR_NOT_READY, WholeWrite, "21", CheckOtherUnread},
    {"Open, read failing without a code", OpenOther, "ReadFile", 0, WholeWrite, "31", CheckOtherUnread},
    {"Revert, size", RevertTyped, "GetFileSize", ERROR_INVALID_HANDLE, WholeWrite, "6", CheckEditKept},
    {"Revert, read", RevertTyped, "ReadFile", ERROR_HANDLE_EOF, WholeWrite, "38", CheckEditKept},
    {"Revert, read failing without a code", RevertTyped, "ReadFile", 0, WholeWrite, "31", CheckEditKept},
    {"Close", CloseIt, "CloseHandle", ERROR_NETNAME_DELETED, WholeWrite, "64", CheckClosed},
    {"Save As, letting go of the old file", SaveAsElsewhere, "CloseHandle", ERROR_INVALID_HANDLE, WholeWrite, "6",
     CheckNotMoved},
};
INSTANTIATE_TEST_SUITE_P(OpenRevertCloseSaveAs, ErrorNumbers, testing::ValuesIn(OtherRows), RowName);

// ---------------------------------------------------------------------------------------
// The common dialogs live in comdlg32 and the drop's calls in shell32, which the program loads
// only when first wanted. Where they cannot be loaded, each dialog command and a drop show the
// loader's number and leave the document, the file and the format as they were.

static HMODULE(WINAPI *RealLoadLibraryA)(LPCSTR);
static HMODULE(WINAPI *RealGetModuleHandleA)(LPCSTR);

static bool IsRefused(LPCSTR name) { return name && (!lstrcmpiA(name, "comdlg32.dll") || !lstrcmpiA(name, "shell32.dll")); }

static HMODULE WINAPI StandInLoadLibraryA(LPCSTR name)
{
    if (!IsRefused(name))
        return RealLoadLibraryA(name);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

static HMODULE WINAPI StandInGetModuleHandleA(LPCSTR name)
{
    if (!IsRefused(name))
        return RealGetModuleHandleA(name);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

typedef EditorTest MissingDialogs;

TEST_F(MissingDialogs, EachDialogCommandAndADropShowTheNumberAndChangeNothing)
{
    struct Row { const char *name; WORD command; bool promptFirst; };
    const Row rows[] = {
        {"Save of an untitled text", IDM_SAVE, false},
        {"Save As", IDM_SAVEAS, false},
        {"New, saving first", IDM_NEW, true},
        {"Open", IDM_OPEN, false},
        {"Text Format", IDM_TEXTFORMAT, false},
        {"Background Color", IDM_BACKCOLOR, false},
        {"a dropped file", 0, false},
    };
    Reroute("LoadLibraryA", StandInLoadLibraryA, &RealLoadLibraryA);
    Reroute("GetModuleHandleA", StandInGetModuleHandleA, &RealGetModuleHandleA);
    if (HasFatalFailure())
        return;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart("");
        TypeText("kept");
        HFONT font = CurrentFont;
        COLORREF text = TextColor, back = BackColor;
        ClearBoxes();
        if (row.promptFirst)
            ExpectBox(IDYES);
        ExpectBox(IDOK);
        if (row.command)
            SendCommand(row.command);
        else
            GlobalFree(DropFiles({TempPath("dropped.brv")}));   // not finished: that needs shell32
        ASSERT_EQ(Boxes().size(), row.promptFirst ? 2u : 1u);
        EXPECT_TRUE(IsIoError(Boxes().back(), ERROR_MOD_NOT_FOUND));
        EXPECT_EQ(PaneText(), "kept");
        EXPECT_TRUE(Modified());
        EXPECT_EQ(Caption(MainWindow), "Untitled");
        EXPECT_EQ(DocFile, nullptr);
        EXPECT_EQ(CurrentFont, font);
        EXPECT_EQ(TextColor, text);
        EXPECT_EQ(BackColor, back);
    }
    SCOPED_TRACE("a file named on the command line");
    std::string path = TempPath("named.brv");
    WriteBytes(path, "on disk");
    ClearBoxes();
    Restart(path.c_str());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Caption(MainWindow), "named.brv");
    EXPECT_EQ(PaneText(), "on disk");
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

static bool TinyDiskMounted()
{
    return GetFileAttributesA((TinyDisk() + "\\mounted").c_str()) != INVALID_FILE_ATTRIBUTES;
}

typedef EditorTest ShortWrites;

// A document of 20,001 bytes on the tiny disk, which then has 8 KiB left: the first write of
// its save stops after 8 KiB, the next fails.
TEST_F(ShortWrites, DiskThatStaysFullGives112AndTheTextIsNeverCountedAsSaved)
{
    if (!TinyDiskMounted())
        GTEST_SKIP() << "no tiny tmpfs at " << TinyDisk() << " (CTest mounts one when it may)";
    std::string path = TinyDisk() + "\\doc.brv";
    std::string filler = TinyDisk() + "\\filler";
    DeleteFileA(path.c_str());
    Restart(path.c_str());
    EXPECT_NE(DocFile, nullptr);
    EXPECT_GT(FillLeaving(filler, 8192), 0u) << "could not fill " << TinyDisk();
    std::string text = TextOfSize(20000);
    SetWindowTextA(EditPane, text.c_str());
    TypeText("!");
    text = "!" + text;
    RerouteFileCalls();
    ShortWritesSeen = 0;
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
