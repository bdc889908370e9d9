// Saving: Save rewrites the held file in place; Save As moves the document to a chosen file.
#include "tests/support/documents.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"

typedef EditorTest Saving;

TEST_F(Saving, SaveRewritesTheHeldFileInPlaceWithoutADialog)
{
    std::string path = TempPath("letter.brv");
    WriteBytes(path, "A rather longer first draft\r\nof the letter.");
    OpenThroughDialog(path);
    ClearBoxes();
    TypeOver("Short.");
    ASSERT_TRUE(Modified());
    SendCommand(IDM_SAVE);
    EXPECT_TRUE(Boxes().empty()) << "no dialog, no prompt";
    EXPECT_EQ(ReadBytes(path), "Short.") << "no old bytes left behind";
    EXPECT_EQ(Caption(MainWindow), "letter.brv");
    EXPECT_STREQ(DocTitle, "letter.brv");
    EXPECT_STREQ(DocPath, path.c_str());
    EXPECT_FALSE(Modified());
    EXPECT_EQ(WriteOpenError(path), (DWORD)ERROR_SHARING_VIOLATION) << "still held after the save";

    TypeOver("Second version, longer than the first.");
    SendCommand(IDM_SAVE);
    EXPECT_EQ(ReadBytes(path), "Second version, longer than the first.");
    EXPECT_FALSE(Modified());
}

TEST_F(Saving, SavingAnEmptyPaneLeavesAnEmptyFile)
{
    std::string path = TempPath("empty.brv");
    WriteBytes(path, "something to lose");
    OpenThroughDialog(path);
    TypeOver("");
    ASSERT_EQ(PaneText(), "");
    ASSERT_TRUE(Modified());
    SendCommand(IDM_SAVE);
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Caption(MainWindow), "empty.brv");
}

TEST_F(Saving, SaveAsToANewNameMovesTheDocumentThere)
{
    std::string first = TempPath("first.brv");
    std::string second = TempPath("second.brv");
    WriteBytes(first, "original");
    OpenThroughDialog(first);
    TypeOver("moved text\nline two");   // Enter gives the pane's CR LF
    ExpectFileDialog(second);
    SendCommand(IDM_SAVEAS);
    ASSERT_EQ(Boxes().size(), 2u) << "Open, then Save As, and no prompt for a new name";
    EXPECT_EQ(Boxes()[1].caption, "Save As");
    EXPECT_EQ(ReadBytes(second), "moved text\r\nline two");
    EXPECT_EQ(Caption(MainWindow), "second.brv");
    EXPECT_STREQ(DocTitle, "second.brv");
    EXPECT_STREQ(DocPath, second.c_str());
    EXPECT_FALSE(Modified());
    EXPECT_EQ(WriteOpenError(second), (DWORD)ERROR_SHARING_VIOLATION) << "the new file is held";
    EXPECT_EQ(ReadBytes(first), "original") << "the old file is left as it was";
    EXPECT_EQ(WriteOpenError(first), 0u) << "and is no longer held";
}

TEST_F(Saving, SaveAsToItsOwnPathRewritesTheHeldFile)
{
    std::string path = TempPath("same.brv");
    WriteBytes(path, "before the edit");
    OpenThroughDialog(path);
    HANDLE held = DocFile;
    TypeOver("after");
    ExpectFileDialog(path);
    ExpectBox(IDYES);   // the dialog's own replace prompt
    SendCommand(IDM_SAVEAS);
    ASSERT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(Boxes()[1].fileName, "same.brv") << "the dialog proposed the document's own name";
    EXPECT_EQ(ReadBytes(path), "after");
    EXPECT_EQ(DocFile, held) << "the same open file was rewritten, not re-created";
    EXPECT_STREQ(DocPath, path.c_str());
    EXPECT_EQ(Caption(MainWindow), "same.brv");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(WriteOpenError(path), (DWORD)ERROR_SHARING_VIOLATION);
}

TEST_F(Saving, SaveAsToTheSamePathInOtherLetterCaseRecreatesAndWrites)
{
    std::string lower = TempPath("case.brv");
    std::string upper = TempPath("CASE.BRV");
    WriteBytes(lower, "old contents that are longer");
    OpenThroughDialog(lower);
    TypeOver("new");
    ExpectFileDialog(upper);
    ExpectBox(IDYES);   // the file exists under either spelling
    SendCommand(IDM_SAVEAS);
    EXPECT_EQ(ReadBytes(lower), "new");
    EXPECT_STREQ(DocPath, upper.c_str()) << "the document moved to the path as typed";
    EXPECT_STREQ(DocTitle, "CASE.BRV");
    EXPECT_EQ(Caption(MainWindow), "CASE.BRV");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(WriteOpenError(lower), (DWORD)ERROR_SHARING_VIOLATION) << "the re-created file is held";
}

TEST_F(Saving, NameTypedWithoutExtensionGetsBrv)
{
    TypeText("plain words");
    ExpectFileDialog(TempPath("plain"));
    SendCommand(IDM_SAVEAS);
    EXPECT_EQ(ReadBytes(TempPath("plain.brv")), "plain words");
    EXPECT_EQ(ReadBytes(TempPath("plain")), "<missing>");
    EXPECT_EQ(Caption(MainWindow), "plain.brv");
    EXPECT_STREQ(DocPath, TempPath("plain.brv").c_str());
}

TEST_F(Saving, SaveOnAnUntitledDocumentAsksForAName)
{
    TypeText("fresh text");
    ExpectFileDialog(TempPath("named.brv"));
    SendCommand(IDM_SAVE);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Save As");
    EXPECT_EQ(Boxes()[0].fileName, "") << "an untitled document proposes no name";
    EXPECT_EQ(ReadBytes(TempPath("named.brv")), "fresh text");
    EXPECT_EQ(Caption(MainWindow), "named.brv");
    EXPECT_FALSE(Modified());
}

TEST_F(Saving, DialogsProposeTheDocumentsPathAndKeepTheFileType)
{
    std::string path = TempPath("tail.brv");
    WriteBytes(path, "from the command line");
    Restart(path.c_str());
    ClearBoxes();

    ExpectFileDialog("");   // Save As, cancelled
    SendCommand(IDM_SAVEAS);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].fileName, "tail.brv") << "Save As starts from the document's file";
    EXPECT_EQ(Boxes().back().folder, TempDir());

    ExpectFileDialog("");   // Open, cancelled: starts where Save As was
    SendCommand(IDM_OPEN);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].caption, "Open");
    EXPECT_EQ(Boxes()[1].fileName, "tail.brv");
    EXPECT_EQ(Boxes().back().folder, TempDir());
    EXPECT_EQ(Boxes()[1].fileType, 0) << "first file type until one is chosen";
    EXPECT_EQ(Boxes()[1].fileTypes, (std::vector<std::string>{"Brevitor files (*.brv)", "Plain text files (*.txt)",
                                                       "ASCII files (*.asc)", "All text files (*.brv, *.txt, *.asc)",
                                                       "All files (*.*)"}));
    // The patterns behind them, as the dialogs are given them.
    std::string patterns;
    for (const char *p = FileDialog.lpstrFilter; *p; p += lstrlenA(p) + 1) {
        p += lstrlenA(p) + 1;
        patterns += std::string(p) + " ";
    }
    EXPECT_EQ(patterns, "*.brv *.txt *.asc* *.brv;*.txt;*.asc *.* ");

    // Save As to another file with the second file type chosen in the list.
    TypeOver("listed");
    ExpectFileDialog(TempPath("list.txt"), 1);
    SendCommand(IDM_SAVEAS);
    EXPECT_EQ(FileDialog.nFilterIndex, 2u);
    EXPECT_EQ(ReadBytes(TempPath("list.txt")), "listed");

    // Both kinds of dialog now start with that file type and the new document's name.
    for (WORD command : {(WORD)IDM_OPEN, (WORD)IDM_SAVEAS}) {
        SCOPED_TRACE(command);
        ClearBoxes();
        ExpectFileDialog("");
        SendCommand(command);
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].fileName, "list.txt");
        EXPECT_EQ(Boxes()[0].fileType, 1);
        EXPECT_EQ(FileDialog.nFilterIndex, 2u);
    }
    EXPECT_EQ(Caption(MainWindow), "list.txt");
    EXPECT_EQ(ReadBytes(path), "from the command line");
}

TEST_F(Saving, CancellingSaveAsChangesNothing)
{
    std::string path = TempPath("kept.brv");
    WriteBytes(path, "on disk");
    struct Row { const char *name; bool withFile; };
    const Row rows[] = {{"untitled", false}, {"with a file", true}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Restart(row.withFile ? path.c_str() : "");
        ClearBoxes();
        TypeOver("unsaved words");
        std::string caption = Caption(MainWindow);
        std::string title = DocTitle;
        std::string docPath = DocPath;
        ExpectFileDialog("");
        SendCommand(IDM_SAVEAS);
        ASSERT_EQ(Boxes().size(), 1u) << "only the dialog; no message follows a cancel";
        EXPECT_EQ(PaneText(), "unsaved words");
        EXPECT_TRUE(Modified());
        EXPECT_EQ(Caption(MainWindow), caption);
        EXPECT_EQ(DocTitle, title);
        EXPECT_EQ(DocPath, docPath);
        EXPECT_EQ(DocFile != nullptr, row.withFile);
        EXPECT_EQ(ReadBytes(path), "on disk");
        if (row.withFile) {
            EXPECT_EQ(WriteOpenError(path), (DWORD)ERROR_SHARING_VIOLATION) << "the file is still held";
        }
        EXPECT_TRUE(IsWindow(MainWindow));
    }
}

TEST_F(Saving, TextOverThePaneLimitIsRefusedWithANumberedError)
{
    std::string path = TempPath("limit.brv");
    WriteBytes(path, "small and safe");
    OpenThroughDialog(path);
    ClearBoxes();
    std::string huge = TextOfSize(40000);
    SendMessageA(EditPane, WM_SETTEXT, 0, (LPARAM)huge.c_str());
    ASSERT_EQ(GetWindowTextLengthA(EditPane), 40000) << "the pane took more than its limit";
    SendMessageA(EditPane, EM_SETMODIFY, TRUE, 0);
    ExpectBox(IDOK);
    SendCommand(IDM_SAVE);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(IsIoError(Boxes()[0], ERROR_FILE_TOO_LARGE));
    EXPECT_TRUE(Modified()) << "the text is not counted as saved";
    EXPECT_EQ(ReadBytes(path), "small and safe");
    EXPECT_EQ(GetWindowTextLengthA(EditPane), 40000);
    EXPECT_EQ(Caption(MainWindow), "limit.brv");
    EXPECT_EQ(WriteOpenError(path), (DWORD)ERROR_SHARING_VIOLATION) << "the file stays the document's";
}
