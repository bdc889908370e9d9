// Menu state: each pull-down's entries are enabled or greyed from the document and the pane
// as it opens, and a greyed entry's shortcut does nothing.
#include "tests/support/documents.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"
#include <initializer_list>

typedef EditorTest MenuState;

enum { FileMenu, EditMenu, FormatMenu, HelpMenu };

static HMENU Pulldown(int index)
{
    return GetSubMenu(GetMenu(MainWindow), index);
}

static std::string Label(HMENU menu, UINT id)
{
    char label[128] = "";
    GetMenuStringA(menu, id, label, sizeof label, MF_BYCOMMAND);
    return label;
}

// Puts every entry of the pull-down in one state, then opens it as the platform does.
static void OpenPulldown(int index, UINT startState)
{
    HMENU menu = Pulldown(index);
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != (UINT)-1)
            EnableMenuItem(menu, id, MF_BYCOMMAND | startState);
    }
    SendMessageA(MainWindow, WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(index, 0));
}

struct Entry {
    UINT id;
    bool enabled;
};

// The entries end in these states whatever state they were in before the pull-down opened.
static void ExpectPulldown(int index, std::initializer_list<Entry> entries)
{
    for (UINT start : {(UINT)MF_ENABLED, (UINT)MF_GRAYED}) {
        SCOPED_TRACE(start == MF_GRAYED ? "from all greyed" : "from all enabled");
        OpenPulldown(index, start);
        HMENU menu = Pulldown(index);
        for (const Entry &entry : entries) {
            bool enabled = !(GetMenuState(menu, entry.id, MF_BYCOMMAND) & MF_GRAYED);
            EXPECT_EQ(enabled, entry.enabled) << Label(menu, entry.id);
        }
    }
}

// The File entries that never depend on the document, and Save and Revert that do.
static void ExpectFileMenu(bool save, bool revert)
{
    ExpectPulldown(FileMenu, {{IDM_NEW, true}, {IDM_OPEN, true}, {IDM_CLOSE, true}, {IDM_SAVEAS, true},
                              {IDM_EXIT, true}, {IDM_PAGESETUP, false}, {IDM_PRINT, false},
                              {IDM_SAVE, save}, {IDM_REVERT, revert}});
}

TEST_F(MenuState, FileMenuFollowsTheDocument)
{
    {
        SCOPED_TRACE("fresh untitled document");
        ExpectFileMenu(false, false);
    }
    TypeText("first words");
    {
        SCOPED_TRACE("untitled, edited: nothing to revert to");
        ExpectFileMenu(true, false);
    }
    ExpectFileDialog(TempPath("menu.brv"));
    SendCommand(IDM_SAVE);
    ASSERT_STREQ(DocPath, TempPath("menu.brv").c_str());
    {
        SCOPED_TRACE("saved under a name");
        ExpectFileMenu(false, false);
    }
    TypeText(" and more");
    {
        SCOPED_TRACE("with a file, edited");
        ExpectFileMenu(true, true);
    }
    SendCommand(IDM_SAVE);
    {
        SCOPED_TRACE("with a file, saved again");
        ExpectFileMenu(false, false);
    }
    TypeText(" then changed");
    ExpectBox(IDOK);
    SendCommand(IDM_REVERT);
    ASSERT_EQ(PaneText(), "first words and more");
    {
        SCOPED_TRACE("reverted");
        ExpectFileMenu(false, false);
    }
}

TEST_F(MenuState, FileMenuOfADocumentOpenedFromTheCommandLine)
{
    std::string path = TempPath("opened.brv");
    WriteBytes(path, "text on disk");
    Restart(path.c_str());
    {
        SCOPED_TRACE("with a file, unedited");
        ExpectFileMenu(false, false);
    }
    TypeText("x");
    {
        SCOPED_TRACE("with a file, edited");
        ExpectFileMenu(true, true);
    }
    ExpectBox(IDNO);
    SendCommand(IDM_NEW);
    {
        SCOPED_TRACE("after New");
        ExpectFileMenu(false, false);
    }
}

// The clipboard is shared by every program on the desktop: put it in the wanted state
// right before each look, and look again if someone changed it meanwhile.
static void SetClipboard(bool withText)
{
    if (!OpenClipboard(MainWindow))
        return;
    EmptyClipboard();
    if (withText) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 6);
        lstrcpyA((char *)GlobalLock(memory), "clip!");
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
    } else {
        // Something that is not text, so Paste has nothing to take.
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
        SetClipboardData(RegisterClipboardFormatA("Brevitor test, not text"), memory);
    }
    CloseClipboard();
}

static void ExpectEditMenu(bool withClipboardText, bool undo, bool selection, bool selectAll)
{
    for (int attempt = 0; attempt < 5; attempt++) {
        SetClipboard(withClipboardText);
        if ((IsClipboardFormatAvailable(CF_TEXT) != 0) == withClipboardText)
            break;
    }
    ASSERT_EQ(IsClipboardFormatAvailable(CF_TEXT) != 0, withClipboardText) << "could not set the clipboard";
    ExpectPulldown(EditMenu, {{IDM_UNDO, undo}, {IDM_CUT, selection}, {IDM_COPY, selection},
                              {IDM_DELETE, selection}, {IDM_PASTE, withClipboardText},
                              {IDM_SELECTALL, selectAll}});
}

TEST_F(MenuState, EditMenuFollowsThePaneAndTheClipboard)
{
    for (bool clip : {false, true}) {
        SCOPED_TRACE(clip ? "clipboard holds text" : "clipboard holds no text");
        Restart("");
        {
            SCOPED_TRACE("empty pane");
            ExpectEditMenu(clip, false, false, false);
        }
        TypeText("some text");
        {
            SCOPED_TRACE("typed, nothing selected");
            ExpectEditMenu(clip, true, false, true);
        }
        SendMessageA(EditPane, EM_SETSEL, 2, 6);
        {
            SCOPED_TRACE("part selected");
            ExpectEditMenu(clip, true, true, true);
        }
        SendCommand(IDM_SELECTALL);
        SendCommand(IDM_DELETE);
        ASSERT_EQ(PaneText(), "");
        {
            SCOPED_TRACE("everything deleted");
            ExpectEditMenu(clip, true, false, false);
        }
    }
}

TEST_F(MenuState, TextReadFromAFileHasNothingToUndo)
{
    std::string path = TempPath("undo.brv");
    WriteBytes(path, "read, not typed");
    OpenThroughDialog(path);
    SendMessageA(EditPane, EM_SETSEL, 0, 4);
    ExpectEditMenu(true, false, true, true);
}

TEST_F(MenuState, FormatEntriesAreAlwaysOnAndHelpIsGreyed)
{
    for (bool edited : {false, true}) {
        SCOPED_TRACE(edited ? "edited" : "fresh");
        if (edited)
            TypeText("words");
        ExpectPulldown(FormatMenu, {{IDM_TEXTFORMAT, true}, {IDM_DEFAULTFORMAT, true}, {IDM_BACKCOLOR, true}});
        ExpectPulldown(HelpMenu, {{IDM_HELP, false}, {IDM_ABOUT, true}});
    }
}

static std::vector<UINT> States(HMENU menu)
{
    std::vector<UINT> states;
    for (int i = 0; i < GetMenuItemCount(menu); i++)
        states.push_back(GetMenuState(menu, i, MF_BYPOSITION));
    return states;
}

TEST_F(MenuState, SystemMenuAndUnknownPulldownsChangeNoEntry)
{
    HMENU file = Pulldown(FileMenu);
    HMENU system = GetSystemMenu(MainWindow, FALSE);
    ASSERT_NE(system, nullptr);
    // All File entries on: the rules would grey Save, Revert, Page Setup and Print here.
    OpenPulldown(FileMenu, MF_ENABLED);
    for (UINT id : {IDM_SAVE, IDM_REVERT, IDM_PAGESETUP, IDM_PRINT})
        EnableMenuItem(file, id, MF_BYCOMMAND | MF_ENABLED);
    std::vector<UINT> fileBefore = States(file);
    std::vector<UINT> systemBefore = States(system);

    struct Row { const char *name; HMENU menu; LPARAM lParam; };
    const Row rows[] = {
        {"the system menu", system, MAKELPARAM(0, 1)},
        {"the File pull-down flagged as the system menu", file, MAKELPARAM(0, 1)},
        {"a fifth pull-down", file, MAKELPARAM(4, 0)},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SendMessageA(MainWindow, WM_INITMENUPOPUP, (WPARAM)row.menu, row.lParam);
        EXPECT_EQ(States(file), fileBefore);
        EXPECT_EQ(States(system), systemBefore);
    }
    EXPECT_FALSE(GetMenuState(file, IDM_SAVE, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MenuState, CtrlRDoesNotRevertUneditedText)
{
    std::string path = TempPath("ctrlr.brv");
    WriteBytes(path, "on disk");
    OpenThroughDialog(path);
    ClearBoxes();
    // Unedited text that differs from the file, so a Revert that slipped through would show.
    SendMessageA(EditPane, WM_SETTEXT, 0, (LPARAM)"in the pane");
    ASSERT_FALSE(Modified());
    PressKey('R', true);
    EXPECT_TRUE(Boxes().empty()) << "no revert prompt";
    EXPECT_EQ(PaneText(), "in the pane");

    TypeText("!");
    ExpectBox(IDOK);
    PressKey('R', true);
    ASSERT_EQ(Boxes().size(), 1u) << "once edited, Ctrl+R reaches Revert";
    EXPECT_TRUE(IsMessage(Boxes()[0], RevertQuestion, "ctrlr.brv"));
    EXPECT_EQ(PaneText(), "on disk");
}

TEST_F(MenuState, CtrlSDoesNotWriteUneditedText)
{
    std::string path = TempPath("ctrls.brv");
    WriteBytes(path, "on disk");
    OpenThroughDialog(path);
    ClearBoxes();
    SendMessageA(EditPane, WM_SETTEXT, 0, (LPARAM)"in the pane");
    ASSERT_FALSE(Modified());
    ULONGLONG written = LastWriteTime(path);
    Sleep(30);
    PressKey('S', true);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(ReadBytes(path), "on disk");
    EXPECT_EQ(LastWriteTime(path), written) << "the file was not touched";

    TypeText("!");
    PressKey('S', true);
    EXPECT_EQ(ReadBytes(path), "!in the pane") << "once edited, Ctrl+S saves";
    EXPECT_FALSE(Modified());
    EXPECT_NE(LastWriteTime(path), written);
}

TEST_F(MenuState, CtrlSOnAFreshDocumentAsksForNoName)
{
    PressKey('S', true);
    EXPECT_TRUE(Boxes().empty()) << "no Save As dialog for text that was never edited";
    EXPECT_EQ(Caption(MainWindow), "Untitled");
}
