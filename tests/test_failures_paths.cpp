// Files that cannot be opened or created, paths and names that do not fit, and names
// with format characters: the numbered error, and what the user is left with afterwards.
#include "tests/support/documents.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"

// A file in the test's folder whose full path is exactly length characters.
static std::string PathOfLength(size_t length)
{
    std::string folder = TempDir() + "\\";
    return folder + std::string(length - folder.size() - 4, 'p') + ".brv";
}

// Another program holding the file for writing.
static HANDLE HoldForWriting(const std::string &path)
{
    return HoldFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

// ---------------------------------------------------------------------------------------
// Opens that fail: the numbered error, then a document without a file.

typedef EditorTest FailedOpen;

static bool VisibleDuringBox;

static void NoteVisibilityThenOk(HWND box)
{
    VisibleDuringBox = IsWindowVisible(MainWindow) != FALSE;
    ClickOk(box);
}

TEST_F(FailedOpen, CommandTailThatCannotBeOpenedFailsBeforeTheWindowShowsAndGoesOnUntitled)
{
    std::string plain = TempPath("plain.brv");
    std::string held = TempPath("held.brv");
    WriteBytes(plain, "quoted on the line");
    WriteBytes(held, "held elsewhere");
    // Held by another program (access and sharing), or not held (access 0).
    struct Row { const char *name; std::string tail; DWORD access, share; int code; };
    const Row rows[] = {
        {"a directory", TempDir(), 0, 0, ERROR_ACCESS_DENIED},
        {"held for writing", held, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, ERROR_SHARING_VIOLATION},
        {"held without letting others write", held, GENERIC_READ, FILE_SHARE_READ, ERROR_SHARING_VIOLATION},
        {"a missing folder", TempPath("absent\\new.brv"), 0, 0, ERROR_PATH_NOT_FOUND},
        {"an unclosed double quote", "\"" + plain, 0, 0, ERROR_INVALID_NAME},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HANDLE holder = row.access ? HoldFile(row.tail, row.access, row.share) : nullptr;
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        ClearBoxes();
        VisibleDuringBox = true;
        ExpectDialog(NoteVisibilityThenOk);
        Restart(row.tail.c_str());
        if (holder)
            CloseHandle(holder);
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_TRUE(IsIoError(Boxes()[0], row.code));
        EXPECT_FALSE(VisibleDuringBox) << "the error came before the window was shown";
        ExpectFileLost();
        EXPECT_EQ(PaneText(), "");
        EXPECT_TRUE(IsWindowVisible(MainWindow));
        TypeText("goes on");
        EXPECT_EQ(PaneText(), "goes on");
    }
    EXPECT_EQ(ReadBytes(plain), "quoted on the line");
    EXPECT_EQ(ReadBytes(held), "held elsewhere");
    EXPECT_EQ(GetFileAttributesA(TempPath("absent").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FailedOpen, HeldFileChosenInOpenLeavesNoFileAndThePromptNamesAnEmptyTitle)
{
    std::string mine = TempPath("mine.brv");
    std::string held = TempPath("held.brv");
    WriteBytes(mine, "mine");
    WriteBytes(held, "held elsewhere");
    Restart(mine.c_str());
    HANDLE holder = HoldForWriting(held);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ClearBoxes();
    ExpectFileDialog(held);
    ExpectBox(IDOK);
    SendCommand(IDM_OPEN);
    CloseHandle(holder);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_TRUE(IsIoError(Boxes()[1], ERROR_SHARING_VIOLATION));
    ExpectFileLost();
    EXPECT_EQ(PaneText(), "");
    EXPECT_EQ(WriteOpenError(mine), 0u) << "the previous file was let go";

    ClearBoxes();
    TypeText("after");
    ExpectBox(IDCANCEL);
    SendCommand(IDM_CLOSE);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(IsMessage(Boxes()[0], SaveQuestion, ""));
    EXPECT_TRUE(IsWindow(MainWindow));
}

// ---------------------------------------------------------------------------------------
// Save As onto a file that cannot be created.

typedef EditorTest FailedSaveAs;

TEST_F(FailedSaveAs, HeldTargetGives32LeavesNoFileAndTheNextSaveAsksForAName)
{
    std::string mine = TempPath("mine.brv");
    std::string held = TempPath("held.brv");
    std::string third = TempPath("third.brv");
    WriteBytes(mine, "as saved");
    WriteBytes(held, "held elsewhere");
    Restart(mine.c_str());
    TypeText("edited, ");
    HANDLE holder = HoldForWriting(held);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ClearBoxes();
    ExpectFileDialog(held);
    ExpectBox(IDYES);   // the dialog's replace prompt
    ExpectBox(IDOK);
    SendCommand(IDM_SAVEAS);
    CloseHandle(holder);
    ASSERT_EQ(Boxes().size(), 3u);
    EXPECT_TRUE(IsIoError(Boxes()[2], ERROR_SHARING_VIOLATION));
    ExpectFileLost();
    EXPECT_TRUE(Modified());
    EXPECT_EQ(PaneText(), "edited, as saved");
    EXPECT_EQ(ReadBytes(held), "held elsewhere");
    EXPECT_EQ(ReadBytes(mine), "as saved");
    EXPECT_EQ(WriteOpenError(mine), 0u) << "the old file was let go";

    ClearBoxes();
    ExpectFileDialog(third);
    SendCommand(IDM_SAVE);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(Boxes()[0].isFileDialog);
    EXPECT_EQ(Boxes()[0].caption, "Save As");
    EXPECT_EQ(ReadBytes(third), "edited, as saved");
    EXPECT_EQ(Caption(MainWindow), "third.brv");
    EXPECT_FALSE(Modified());
}

// ---------------------------------------------------------------------------------------
// Paths of 260 characters or more do not fit DocPath: they are refused at the open step,
// even where the platform itself would open them.

typedef EditorTest LongPaths;

TEST_F(LongPaths, CommandTailOrDropOf260OrMoreIsRefusedWith206AndOf259Opens)
{
    struct Row { size_t length; bool exists, dropped = false; };
    const Row rows[] = {{259, true},  {259, false}, {260, true},       {260, false},
                        {261, false}, {300, false}, {259, true, true}, {300, false, true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << row.length << (row.exists ? " characters, existing" : " characters")
                                        << (row.dropped ? ", dropped" : ""));
        std::string path = PathOfLength(row.length);
        ASSERT_EQ(path.size(), row.length);
        StopEditor();
        DeleteFileA(path.c_str());
        if (row.exists)
            WriteBytes(path, "long way in");
        ClearBoxes();
        bool refused = row.length >= 260;
        if (refused)
            ExpectBox(IDOK);
        StartEditor(row.dropped ? "" : path.c_str());
        if (row.dropped) {
            EXPECT_EQ(GlobalFlags(DropFiles({path})), (UINT)GMEM_INVALID_HANDLE) << "the drop was finished";
        }
        if (!refused) {
            EXPECT_TRUE(Boxes().empty());
            EXPECT_EQ(DocPath, path);
            EXPECT_EQ(PaneText(), row.exists ? "long way in" : "");
            EXPECT_EQ(Caption(MainWindow), NameOf(path).substr(0, 63));
            continue;
        }
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_TRUE(IsIoError(Boxes()[0], ERROR_FILENAME_EXCED_RANGE));
        ExpectFileLost();
        EXPECT_EQ(ReadBytes(path), row.exists ? "long way in" : "<missing>") << "neither opened nor created";
    }
}

TEST_F(LongPaths, FiveThousandCharacterTailOverflowsNothingAndGoesOnUntitled)
{
    std::string tail = "C:\\";
    while (tail.size() < 5000)
        tail += "a folder with a long name\\";
    tail.resize(4996);
    tail += ".brv";
    ExpectBox(IDOK);
    Restart(tail.c_str());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(IsIoError(Boxes()[0], ERROR_FILENAME_EXCED_RANGE));
    ExpectFileLost();
    EXPECT_TRUE(IsWindowVisible(MainWindow));

    std::string saved = TempPath("after.brv");
    TypeText("still working");
    ExpectFileDialog(saved);
    SendCommand(IDM_SAVE);
    EXPECT_EQ(ReadBytes(saved), "still working");
    EXPECT_EQ(Caption(MainWindow), "after.brv");
}

// The Open dialog hands over at most 259 characters and a terminator; longer names never
// reach the program (and past 260 this platform's dialog cannot be driven safely).
TEST_F(LongPaths, OpenDialogOpens259AndCannotHandOver260)
{
    std::string fits = PathOfLength(259);
    std::string over = PathOfLength(260);
    WriteBytes(fits, "fits");
    WriteBytes(over, "does not fit");
    OpenThroughDialog(fits);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(DocPath, fits);
    EXPECT_EQ(PaneText(), "fits");

    ClearBoxes();
    OpenThroughDialog(over);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(DocPath, fits);
    EXPECT_EQ(PaneText(), "fits");
}

// ---------------------------------------------------------------------------------------
// A name longer than the title buffer is cut to its first 63 characters, whichever way the
// document got it, and never leaves the previous document's title in place.

enum Way { ByTail, ByOpen, BySaveAs };

class LongTitles : public EditorTest, public testing::WithParamInterface<std::tuple<Way, size_t>> {
};

static std::string LongTitleCase(const testing::TestParamInfo<std::tuple<Way, size_t>> &info)
{
    const char *ways[] = {"CommandTail", "Open", "SaveAs"};
    return ways[std::get<0>(info.param)] + std::to_string(std::get<1>(info.param));
}

TEST_P(LongTitles, NameThatDoesNotFitIsCutTo63NeverAStaleTitle)
{
    Way way = std::get<0>(GetParam());
    std::string name = std::string(std::get<1>(GetParam()) - 4, 'n') + ".brv";
    std::string path = TempPath(name.c_str());
    std::string shown = name.substr(0, 63);
    if (way == ByOpen)
        WriteBytes(path, "long one");
    if (way == ByTail)
        RestartOn(path, "long one");
    else
        RestartOn(TempPath("short.brv"), "short one");
    if (way == ByOpen) {
        OpenThroughDialog(path);
    } else if (way == BySaveAs) {
        ExpectFileDialog(path);
        SendCommand(IDM_SAVEAS);
        EXPECT_EQ(ReadBytes(path), "short one");
    }
    EXPECT_EQ(Caption(MainWindow), shown);
    EXPECT_EQ(DocTitle, shown);
    EXPECT_EQ(DocPath, path);

    ClearBoxes();
    TypeText("more ");
    ExpectBox(IDCANCEL);
    SendCommand(IDM_CLOSE);
    ExpectBox(IDCANCEL);
    SendCommand(IDM_REVERT);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_TRUE(IsMessage(Boxes()[0], SaveQuestion, shown));
    EXPECT_TRUE(IsMessage(Boxes()[1], RevertQuestion, shown));
}
INSTANTIATE_TEST_SUITE_P(EveryWay, LongTitles,
                         testing::Combine(testing::Values(ByTail, ByOpen, BySaveAs), testing::Values(63, 64, 100)),
                         LongTitleCase);

// ---------------------------------------------------------------------------------------
// Names are arguments of the messages, never their format.

class OddNames : public EditorTest, public testing::WithParamInterface<const char *> {
};

TEST_P(OddNames, PercentSignsInANameShowLiterallyInTheCaptionAndEveryPrompt)
{
    const char *name = GetParam();
    RestartOn(TempPath(name), "per cent");
    EXPECT_EQ(Caption(MainWindow), name);
    EXPECT_STREQ(DocTitle, name);
    EXPECT_EQ(PaneText(), "per cent");

    TypeText("changed ");
    ExpectBox(IDCANCEL);
    SendCommand(IDM_CLOSE);
    ExpectBox(IDCANCEL);
    SendCommand(IDM_REVERT);
    ExpectBox(IDCANCEL);
    SendCommand(IDM_DEFAULTFORMAT);
    ASSERT_EQ(Boxes().size(), 3u);
    EXPECT_TRUE(IsMessage(Boxes()[0], SaveQuestion, name));
    EXPECT_TRUE(IsMessage(Boxes()[1], RevertQuestion, name));
    EXPECT_TRUE(IsMessage(Boxes()[2], DefaultQuestion, name));
}
INSTANTIATE_TEST_SUITE_P(PerCentSigns, OddNames, testing::Values("100%s%d.brv", "%n%p%x%%%.brv", "%1024s%c.brv"));

// The title comes from the path as GetFileTitleA takes it, without loading comdlg32: the last
// component, extension kept, whichever way the file was named. Where that call gives no title (a
// name too long for it, or with brackets), the last component is shown all the same, cut to 63.
typedef EditorTest Titles;

TEST_F(Titles, AreWhatGetFileTitleAGivesWhicheverWayTheFileIsNamed)
{
    typedef short(WINAPI * GetFileTitleCall)(LPCSTR, LPSTR, WORD);
    auto getFileTitle = (GetFileTitleCall)(void *)GetProcAddress(LoadLibraryA("comdlg32.dll"), "GetFileTitleA");
    ASSERT_NE(getFileTitle, nullptr);
    std::string dir = TempDir();
    std::string folder = NameOf(dir);
    std::string slashed = dir;
    for (char &c : slashed)
        c = c == '\\' ? '/' : c;
    std::string long63 = std::string(59, 'l') + ".brv";
    std::string long64 = std::string(60, 'l') + ".brv";
    struct Row { std::string path; std::string title; bool platformGives; };
    const Row rows[] = {
        {dir + "\\notes.txt", "notes.txt", true},
        {slashed + "/notes.txt", "notes.txt", true},
        {dir + "/sub.brv", "sub.brv", true},
        {"relative.brv", "relative.brv", true},
        {".\\dotted.brv", "dotted.brv", true},
        {"..\\" + folder + "\\up and back.brv", "up and back.brv", true},
        {dir.substr(0, 2) + "drive relative.brv", "drive relative.brv", true},
        {dir + "\\several.dots.in.it.txt", "several.dots.in.it.txt", true},
        {dir + "\\no extension", "no extension", true},
        {dir + "\\.brv", ".brv", true},
        {dir + "\\caf\xe9 \xa7 \xff.brv", "caf\xe9 \xa7 \xff.brv", true},
        {dir + "\\" + long63, long63, true},
        {dir + "\\" + long64, long64.substr(0, 63), false},
        {dir + "\\brackets [1].brv", "brackets [1].brv", false},
    };
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(dir.c_str());
    for (const Row &row : rows) {
        SCOPED_TRACE(row.path);
        ClearBoxes();
        Restart(row.path.c_str());
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(Caption(MainWindow), row.title);
        EXPECT_EQ(DocTitle, row.title);
        char title[64] = "";
        short result = getFileTitle(row.path.c_str(), title, sizeof title);
        EXPECT_EQ(result == 0, row.platformGives) << result;
        if (result == 0) {
            EXPECT_EQ(title, row.title);
        }
        SetCurrentDirectoryA("C:\\");   // as a file dialog does: the save goes to the file opened all the same
        TypeText("saved");
        SendCommand(IDM_SAVE);
        EXPECT_TRUE(Boxes().empty() && !Modified());
        SetCurrentDirectoryA(dir.c_str());
    }
    StopEditor();
    SetCurrentDirectoryA(previous);
}
