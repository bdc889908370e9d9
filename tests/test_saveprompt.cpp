// The save prompt: every way of discarding unsaved text asks first, and only Yes with a
// successful save, or No, lets it go ahead.
#include "tests/support/documents.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"

typedef EditorTest SavePrompt;

enum Way { New, Open, Drop, Close, Exit, CloseMessage, CloseBox, EndSession };

struct WayRow {
    Way way;
    const char *name;
};

static const WayRow Ways[] = {
    {New, "New"},
    {Open, "Open"},
    {Drop, "a file dropped on the window"},
    {Close, "Close command"},
    {Exit, "Exit command"},
    {CloseMessage, "WM_CLOSE"},
    {CloseBox, "close box (SC_CLOSE)"},
    {EndSession, "log-off (WM_QUERYENDSESSION, then WM_ENDSESSION)"},
};

static bool EndsProgram(Way way)
{
    return way == Close || way == Exit || way == CloseMessage || way == CloseBox;
}

// Open shows its dialog before the prompt, so its answer goes first in the queue.
static void QueueLead(Way way, const std::string &other)
{
    if (way == Open)
        ExpectFileDialog(other);
}

static size_t LeadBoxes(Way way)
{
    return way == Open ? 1 : 0;
}

// The platform's query, then the end of the session: it ends only when every program agreed
// and nothing cancelled it meanwhile. Returns the program's answer to the query.
static LRESULT LogOff(BOOL notCancelled)
{
    LRESULT agreed = SendMessageA(MainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageA(MainWindow, WM_ENDSESSION, agreed && notCancelled, ENDSESSION_LOGOFF);
    return agreed;
}

// Does what the user does; returns what the platform got back for a log-off query.
static LRESULT Go(Way way, const std::string &other)
{
    switch (way) {
    case New:          SendCommand(IDM_NEW); return 0;
    case Open:         SendCommand(IDM_OPEN); return 0;
    case Drop:         DropFiles({other, TempPath("second.brv")}); return 0;   // only the first opens
    case Close:        SendCommand(IDM_CLOSE); return 0;
    case Exit:         SendCommand(IDM_EXIT); return 0;
    case CloseMessage: SendMessageA(MainWindow, WM_CLOSE, 0, 0); return 0;
    case CloseBox:     SendMessageA(MainWindow, WM_SYSCOMMAND, SC_CLOSE, 0); return 0;
    case EndSession:   return LogOff(TRUE);
    }
    return 0;
}

// The prompt appeared once, with the document's title and the question caption.
static void ExpectPromptFor(Way way, const std::string &title)
{
    size_t at = LeadBoxes(way);
    ASSERT_GT(Boxes().size(), at);
    EXPECT_TRUE(IsMessage(Boxes()[at], SaveQuestion, title));
}

// The way went ahead: the old document is gone and its file let go.
static void ExpectWentAhead(Way way, LRESULT result, const std::string &other, const std::string &oldCaption)
{
    if (EndsProgram(way)) {
        EXPECT_FALSE(IsWindow(MainWindow)) << "the program ends";
        return;
    }
    ASSERT_TRUE(IsWindow(MainWindow));
    switch (way) {
    case New:
        EXPECT_EQ(Caption(MainWindow), "Untitled");
        EXPECT_STREQ(DocTitle, "Untitled");
        EXPECT_EQ(PaneText(), "");
        EXPECT_EQ(DocFile, nullptr);
        break;
    case Open:
    case Drop:
        EXPECT_EQ(Caption(MainWindow), NameOf(other));
        EXPECT_STREQ(DocPath, other.c_str());
        EXPECT_EQ(PaneText(), "the other file");
        break;
    case EndSession:
        EXPECT_NE(result, 0) << "agrees to the log-off";
        EXPECT_EQ(PaneText(), "");
        EXPECT_EQ(DocFile, nullptr);
        EXPECT_STREQ(DocPath, "");
        EXPECT_EQ(Caption(MainWindow), oldCaption) << "the caption is left as it was";
        break;
    default:
        break;
    }
    EXPECT_FALSE(Modified());
}

// The way was refused: the program goes on with the same text and caption.
static void ExpectKept(Way way, LRESULT result, const std::string &text, const std::string &caption)
{
    ASSERT_TRUE(IsWindow(MainWindow)) << "the program goes on";
    EXPECT_EQ(PaneText(), text);
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Caption(MainWindow), caption);
    if (way == EndSession) {
        EXPECT_EQ(result, 0) << "refuses the log-off";
    }
}

static std::string WayName(const testing::TestParamInfo<WayRow> &info) { return CaseName(info.param.name); }

// Each case starts over with doc.brv ("saved") open and edited to "edited", other.brv beside it.
class SavePromptWithFile : public SavePrompt, public testing::WithParamInterface<WayRow> {
protected:
    Way way = GetParam().way;
    std::string doc = TempPath("doc.brv"), title = "doc.brv", other = TempPath("other.brv");
    void SetUp() override
    {
        SavePrompt::SetUp();
        WriteBytes(other, "the other file");
        RestartOn(doc, "saved");
        TypeOver("edited");
    }
};
INSTANTIATE_TEST_SUITE_P(EveryWay, SavePromptWithFile, testing::ValuesIn(Ways), WayName);

TEST_P(SavePromptWithFile, YesSavesTheFileThenGoesAhead)
{
    QueueLead(way, other);
    ExpectBox(IDYES);
    LRESULT result = Go(way, other);
    ExpectPromptFor(way, title);
    EXPECT_EQ(Boxes().size(), LeadBoxes(way) + 1) << "no dialog: the document has a file";
    EXPECT_EQ(ReadBytes(doc), "edited");
    ExpectWentAhead(way, result, other, title);
    EXPECT_EQ(WriteOpenError(doc), 0u) << "the saved file is let go";
}

TEST_P(SavePromptWithFile, NoDiscardsTheChangesThenGoesAhead)
{
    QueueLead(way, other);
    ExpectBox(IDNO);
    LRESULT result = Go(way, other);
    ExpectPromptFor(way, title);
    EXPECT_EQ(ReadBytes(doc), "saved") << "the file on disk is untouched";
    ExpectWentAhead(way, result, other, title);
    EXPECT_EQ(WriteOpenError(doc), 0u);
}

TEST_P(SavePromptWithFile, CancelChangesNothing)
{
    QueueLead(way, other);
    ExpectBox(IDCANCEL);
    LRESULT result = Go(way, other);
    ExpectPromptFor(way, title);
    ExpectKept(way, result, "edited", title);
    EXPECT_STREQ(DocPath, doc.c_str());
    EXPECT_EQ(ReadBytes(doc), "saved");
    EXPECT_EQ(WriteOpenError(doc), (DWORD)ERROR_SHARING_VIOLATION) << "still the document's file";
}

TEST_P(SavePromptWithFile, UnmodifiedTextGoesAheadWithoutAPrompt)
{
    RestartOn(doc, "saved");
    ASSERT_FALSE(Modified());
    QueueLead(way, other);
    LRESULT result = Go(way, other);
    EXPECT_EQ(Boxes().size(), LeadBoxes(way)) << "no prompt";
    ExpectWentAhead(way, result, other, title);
    EXPECT_EQ(ReadBytes(doc), "saved");
}

// Another program may cancel a log-off this one agreed to: the document then stays as the
// answer left it, its file held and its caption unchanged.
TEST_F(SavePrompt, LogOffCancelledElsewhereKeepsTheDocument)
{
    struct Row { const char *name; int answer; const char *pane, *onDisk; bool modified; };
    const Row rows[] = {
        {"Yes", IDYES, "edited", "edited", false},
        {"No", IDNO, "edited", "saved", true},
        {"unedited, no prompt", 0, "saved", "saved", false},
    };
    std::string doc = TempPath("doc.brv");
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RestartOn(doc, "saved");
        if (row.answer) {
            TypeOver("edited");
            ExpectBox(row.answer);
        }
        EXPECT_NE(LogOff(FALSE), 0) << "agrees to the log-off";
        EXPECT_EQ(PaneText(), row.pane);
        EXPECT_EQ(Modified(), row.modified);
        EXPECT_EQ(Caption(MainWindow), "doc.brv");
        EXPECT_STREQ(DocPath, doc.c_str());
        EXPECT_EQ(ReadBytes(doc), row.onDisk);
        EXPECT_EQ(WriteOpenError(doc), (DWORD)ERROR_SHARING_VIOLATION) << "still the document's file";
        EXPECT_EQ(PendingReplies(), 0);
    }
}

// Each case starts over untitled, with typed text that was never saved.
class SavePromptUntitled : public SavePrompt, public testing::WithParamInterface<WayRow> {
protected:
    Way way = GetParam().way;
    std::string other = TempPath("other.brv");
    void SetUp() override
    {
        SavePrompt::SetUp();
        WriteBytes(other, "the other file");
        TypeText("draft");
    }
};
INSTANTIATE_TEST_SUITE_P(EveryWay, SavePromptUntitled, testing::ValuesIn(Ways), WayName);

TEST_P(SavePromptUntitled, YesAsksForANameSavesThenGoesAhead)
{
    std::string name = "draft.brv";
    QueueLead(way, other);
    ExpectBox(IDYES);
    ExpectFileDialog(TempPath(name.c_str()));
    LRESULT result = Go(way, other);
    ExpectPromptFor(way, "Untitled");
    ASSERT_EQ(Boxes().size(), LeadBoxes(way) + 2);
    EXPECT_EQ(Boxes().back().caption, "Save As");
    EXPECT_EQ(Boxes().back().fileName, "") << "an untitled document proposes no name";
    EXPECT_EQ(ReadBytes(TempPath(name.c_str())), "draft");
    EXPECT_EQ(WriteOpenError(TempPath(name.c_str())), 0u) << "written and closed";
    ExpectWentAhead(way, result, other, name);
}

TEST_P(SavePromptUntitled, YesThenCancellingSaveAsKeepsEverything)
{
    QueueLead(way, other);
    ExpectBox(IDYES);
    ExpectBox(IDCANCEL);   // the Save As dialog
    LRESULT result = Go(way, other);
    ExpectPromptFor(way, "Untitled");
    ASSERT_EQ(Boxes().size(), LeadBoxes(way) + 2) << "no message after the cancelled dialog";
    EXPECT_TRUE(Boxes().back().isFileDialog);
    ExpectKept(way, result, "draft", "Untitled");
    EXPECT_STREQ(DocTitle, "Untitled");
    EXPECT_EQ(DocFile, nullptr);
    EXPECT_EQ(ReadBytes(other), "the other file");
}

TEST_P(SavePromptUntitled, YesThenAFailingSaveAsKeepsTheTextAndTheProgram)
{
    std::string locked = TempPath("locked.brv");
    WriteBytes(locked, "someone else's");
    HANDLE holder = HoldFile(locked, GENERIC_READ | GENERIC_WRITE, 0);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    QueueLead(way, other);
    ExpectBox(IDYES);
    ExpectFileDialog(locked);
    ExpectBox(IDYES);   // the dialog's replace prompt
    ExpectBox(IDOK);    // the numbered error
    LRESULT result = Go(way, other);
    CloseHandle(holder);
    ExpectPromptFor(way, "Untitled");
    ASSERT_FALSE(Boxes().empty());
    EXPECT_TRUE(IsIoError(Boxes().back(), ERROR_SHARING_VIOLATION));
    ExpectKept(way, result, "draft", "Untitled");
    EXPECT_EQ(DocFile, nullptr);
    EXPECT_EQ(ReadBytes(locked), "someone else's");
}

TEST_F(SavePrompt, OpeningBWhileUntitledTextIsUnsavedSavesItAsAFirst)
{
    std::string a = TempPath("a.brv");
    std::string b = TempPath("b.brv");
    WriteBytes(b, "contents of B");
    TypeText("text for A");
    ExpectFileDialog(b);    // Open
    ExpectBox(IDYES);       // save "Untitled" first
    ExpectFileDialog(a);    // Save As
    SendCommand(IDM_OPEN);
    ASSERT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(Boxes()[0].caption, "Open");
    EXPECT_TRUE(IsMessage(Boxes()[1], SaveQuestion, "Untitled"));
    EXPECT_EQ(Boxes()[2].caption, "Save As");
    EXPECT_EQ(Boxes()[2].fileName, "") << "Save As proposes the untitled document's empty name, not B";

    EXPECT_EQ(ReadBytes(a), "text for A");
    EXPECT_EQ(WriteOpenError(a), 0u) << "A is written and closed";
    EXPECT_EQ(Caption(MainWindow), "b.brv");
    EXPECT_STREQ(DocTitle, "b.brv");
    EXPECT_STREQ(DocPath, b.c_str());
    EXPECT_EQ(PaneText(), "contents of B");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(WriteOpenError(b), (DWORD)ERROR_SHARING_VIOLATION) << "B is the document's file now";
    EXPECT_EQ(ReadBytes(b), "contents of B");
}
