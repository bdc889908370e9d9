// The shell: command tail, start-up, layout, focus, shortcuts, edit commands, About box, strings, manifest, version.
#include "tests/support/harness.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"
#include <tlhelp32.h>
#include <algorithm>

TEST(CommandTail, DropsTheProgramNameAndUnquotesOneQuotedFileName)
{
    struct Row { const char *line; const char *name; };
    const Row rows[] = {
        {"\"C:\\Program Files\\brevitor.exe\" notes.brv", "notes.brv"},
        {"brevitor.exe     notes.brv", "notes.brv"},
        {"brevitor.exe notes.brv   ", "notes.brv   "},
        {"brevitor.exe a b.brv", "a b.brv"},
        {"brevitor.exe \"a b.brv\"", "a b.brv"},
        {"\"C:\\brevitor.exe\" \"C:\\my docs\\a  b.txt\"", "C:\\my docs\\a  b.txt"},
        {"brevitor.exe \"Z:\\tmp\\ends in a space \" \t ", "Z:\\tmp\\ends in a space "},
        {"brevitor.exe \"\"", ""},
        {"brevitor.exe \"never closed.brv", "\"never closed.brv"},
        {"brevitor.exe \"a.brv\" b.brv", "\"a.brv\" b.brv"},
        {"brevitor.exe \"a.brv\"b", "\"a.brv\"b"},
        {"\"C:\\brevitor.exe\"", ""},
        {"brevitor.exe", ""},
        {"brevitor.exe    ", ""},
        {"\"C:\\never closed quote.exe arg", ""},
        {"\"C:\\brevitor.exe\"next.brv", "next.brv"},
        {"brevitor.exe\t\x01\x1f x y", "x y"},
        {"C:\\Caf\xE9\\brevitor.exe notes.brv", "notes.brv"},
        {"", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.line);
        std::string line = row.line + std::string(1, '\0') + "\"past the end";   // seen only by reading past the end
        EXPECT_STREQ(CommandFileName(CommandTail(&line[0])), row.name);
    }
    char unclosed[] = "\"never closed.brv\0\0";   // nothing but NULs past the end
    EXPECT_STREQ(CommandFileName(unclosed), "\"never closed.brv");
}

TEST(CommandTail, ShowCommandComesFromStartupInfoOnlyWhenFlagged)
{
    STARTUPINFOA startup = {};
    startup.wShowWindow = SW_SHOWMINIMIZED;
    EXPECT_EQ(ShowCommandFrom(&startup), SW_SHOWDEFAULT);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    EXPECT_EQ(ShowCommandFrom(&startup), SW_SHOWMINIMIZED);
}

typedef EditorTest Startup;

TEST_F(Startup, ShowsAnUntitledEmptyDocument)
{
    EXPECT_EQ(Caption(MainWindow), "Untitled");
    EXPECT_STREQ(DocTitle, "Untitled");
    char windowClass[32] = "";
    GetClassNameA(MainWindow, windowClass, sizeof windowClass);
    EXPECT_STREQ(windowClass, "Brevitor");
    EXPECT_EQ(PaneText(), "");
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_EQ(GetParent(EditPane), MainWindow);
    EXPECT_EQ(GetDlgCtrlID(EditPane), IDC_EDIT);
    EXPECT_EQ(SendMessageA(EditPane, EM_GETLIMITTEXT, 0, 0), 32767);
    EXPECT_EQ(SendMessageA(EditPane, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(DocFile, nullptr);
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN),
              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, WS_EX_ACCEPTFILES);
    EXPECT_EQ(GetWindowLongA(EditPane, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0) << "it would swallow drops";
}

static void ExpectMarginOf4()
{
    RECT client, pane;
    GetClientRect(MainWindow, &client);
    GetWindowRect(EditPane, &pane);
    MapWindowPoints(nullptr, MainWindow, (POINT *)&pane, 2);
    EXPECT_EQ(pane.left, 0);   // the pane covers the whole client area
    EXPECT_EQ(pane.top, 0);
    EXPECT_EQ(pane.right, client.right);
    EXPECT_EQ(pane.bottom, client.bottom);
    ExpectTextIn4Pixels();
}

TEST_F(Startup, TextKeepsA4PixelMarginAfterAnyResize)
{
    const SIZE sizes[] = {{640, 480}, {300, 200}, {300, 200}, {801, 599}, {801, 300}, {500, 300}};
    for (const SIZE &size : sizes) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        SetWindowPos(MainWindow, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        Pump();
        ExpectMarginOf4();
    }
    RECT client;
    GetClientRect(MainWindow, &client);
    for (int i = 0; i < 3; i++)   // the same size again and again must not shrink the text
        SendMessageA(MainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    ExpectMarginOf4();
}

// The pane lays its text out anew at every change of size or margin: a command-line file's text
// must arrive when both are already final, not at the pane's creation size.
static int TextsSeen;
static LRESULT CALLBACK CheckLayoutAtText(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = (const CWPSTRUCT *)lParam;
    if (call->hwnd == EditPane && call->message == WM_SETTEXT && *(const char *)call->lParam != '\0') {
        TextsSeen++;
        ExpectMarginOf4();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Startup, CommandLineTextArrivesWhenThePaneHasItsSizeAndMargin)
{
    std::string path = TempPath("laid out.brv");
    WriteBytes(path, "Some words that wrap at any width.\r\n");
    TextsSeen = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CheckLayoutAtText, nullptr, GetCurrentThreadId());
    Restart(path.c_str());
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(TextsSeen, 1);
    EXPECT_EQ(PaneText(), "Some words that wrap at any width.\r\n");
}

TEST_F(Startup, FocusGoesToThePane)
{
    SetFocus(nullptr);
    SetFocus(MainWindow);
    EXPECT_EQ(GetFocus(), EditPane);
}

// Records shortcut commands in front of the real window procedure. Menu state is left
// out (WM_INITMENUPOPUP swallowed) so that every row of the table can be seen.
static std::vector<WPARAM> Commands;
static LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Notifications from the pane (focus comes and goes while other tests run) carry its handle.
    if (message == WM_COMMAND && lParam == 0) {
        Commands.push_back(wParam);
        return 0;
    }
    if (message == WM_INITMENUPOPUP)
        return 0;
    return MainWndProc(window, message, wParam, lParam);
}

// The keys a menu label names after its tab ("Ctrl+Alt+S", "Delete"; "?" is the Help key, the
// slash key is not); key 0 for a label without a shortcut.
struct Keys {
    BYTE key;
    bool ctrl, alt, shift;
    bool operator==(const Keys &o) const { return key == o.key && ctrl == o.ctrl && alt == o.alt && shift == o.shift; }
};

static Keys ShortcutOf(const std::string &label)
{
    std::string rest = label.find('\t') == std::string::npos ? "" : label.substr(label.find('\t') + 1) + "+";
    Keys keys = {0, false, false, false};
    for (size_t plus; (plus = rest.find('+', 1)) != std::string::npos; rest = rest.substr(plus + 1)) {
        std::string name = rest.substr(0, plus);
        keys.ctrl |= name == "Ctrl";
        keys.alt |= name == "Alt";
        keys.shift |= name == "Shift";
        keys.key = name == "Delete" ? VK_DELETE : name == "?" ? VK_HELP : name.size() == 1 ? (BYTE)name[0] : keys.key;
    }
    return keys;
}

// Presses the keys through the program's own loop; true when exactly command came, as a shortcut.
static testing::AssertionResult SendsCommand(const Keys &keys, UINT command)
{
    Commands.clear();
    PressKey(keys.key, keys.ctrl, keys.alt, keys.shift);
    if (Commands.size() == 1 && Commands[0] == MAKEWPARAM(command, 1))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << Commands.size() << " commands, the first " << (Commands.empty() ? 0 : Commands[0]);
}

// Every menu entry but About names a shortcut, and pressing it sends that entry's command as a
// shortcut. Delete is the pane's own key: it deletes the selection and sends nothing.
TEST_F(Startup, EveryShortcutALabelNamesSendsThatEntrysCommand)
{
    HMENU bar = GetMenu(MainWindow);
    const char *titles[] = {"&File", "&Edit", "For&mat", "&Help"};
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, (LONG_PTR)RecordCommands);
    for (int i = 0; i < 4; i++) {
        char label[128] = "";
        GetMenuStringA(bar, i, label, sizeof label, MF_BYPOSITION);
        EXPECT_STREQ(label, titles[i]);
        HMENU popup = GetSubMenu(bar, i);
        for (int j = 0; j < GetMenuItemCount(popup); j++) {
            UINT id = GetMenuItemID(popup, j);
            GetMenuStringA(popup, j, label, sizeof label, MF_BYPOSITION);
            SCOPED_TRACE(label);
            Keys keys = ShortcutOf(label);
            if (id == 0 || id == IDM_ABOUT) {   // a separator, and About shows no shortcut
                EXPECT_EQ(keys.key, 0);
            } else if (id == IDM_DELETE) {
                SetWindowTextA(EditPane, "abc");
                SendMessageA(EditPane, EM_SETSEL, 0, 1);
                EXPECT_FALSE(SendsCommand(keys, id));
                EXPECT_TRUE(Commands.empty());
                EXPECT_EQ(PaneText(), "bc");
            } else {
                EXPECT_TRUE(SendsCommand(keys, id));
                keys.shift = !keys.shift;   // "?" is typed with Shift or without
                EXPECT_TRUE(keys.key != VK_HELP || SendsCommand(keys, id)) << "Help with Shift the other way";
            }
        }
    }
    EXPECT_FALSE(SendsCommand({0xBF, true, false, false}, IDM_HELP)) << "the slash key is not Help";
    EXPECT_TRUE(Commands.empty());
    SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, (LONG_PTR)MainWndProc);
}

// Every shortcut row is a key some label names or a second key for Cut, Copy, Paste, Undo or
// Help; its command is a menu entry, and pressing the key sends it.
TEST_F(Startup, EveryShortcutRowSendsAMenuEntrysCommand)
{
    const struct { Keys keys; UINT command; } seconds[] = {
        {{VK_BACK, 0, 1, 0}, IDM_UNDO},   {{VK_DELETE, 0, 0, 1}, IDM_CUT}, {{VK_F1, 0, 0, 0}, IDM_HELP},
        {{VK_F2, 0, 0, 0}, IDM_CUT},      {{VK_F3, 0, 0, 0}, IDM_COPY},    {{VK_F4, 0, 0, 0}, IDM_PASTE},
        {{VK_INSERT, 1, 0, 0}, IDM_COPY}, {{VK_INSERT, 0, 0, 1}, IDM_PASTE},
    };
    ACCEL rows[64];
    int count = CopyAcceleratorTableA(LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN)), rows, 64);
    ASSERT_GT(count, 0);
    SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, (LONG_PTR)RecordCommands);
    for (const ACCEL &row : std::vector<ACCEL>(rows, rows + count)) {
        Keys keys = {(BYTE)row.key, (row.fVirt & FCONTROL) != 0, (row.fVirt & FALT) != 0, (row.fVirt & FSHIFT) != 0};
        SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << (int)keys.key << ", command " << std::dec << row.cmd);
        EXPECT_EQ(row.fVirt & (FVIRTKEY | FNOINVERT), FVIRTKEY);
        char label[128] = "";
        ASSERT_GT(GetMenuStringA(GetMenu(MainWindow), row.cmd, label, sizeof label, MF_BYCOMMAND), 0) << "not in the menu";
        Keys named = ShortcutOf(label);
        if (named.key == VK_HELP)
            named.shift = keys.shift;   // "?" with Shift or without
        bool listed = named == keys;
        for (const auto &second : seconds)
            listed |= second.keys == keys && second.command == row.cmd;
        EXPECT_TRUE(listed) << "a key that no label names, for " << label;
        EXPECT_TRUE(SendsCommand(keys, row.cmd));
    }
    SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, (LONG_PTR)MainWndProc);
}

typedef EditorTest EditCommands;

TEST_F(EditCommands, SelectAllThenDeleteEmptiesThePaneAndMarksItModified)
{
    SetWindowTextA(EditPane, "some words\r\nand a line");
    SendMessageA(EditPane, EM_SETSEL, 0, 4);
    SendCommand(IDM_COPY);
    SendCommand(IDM_SELECTALL);
    DWORD start = 1, end = 0;
    SendMessageA(EditPane, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 22u);
    SendCommand(IDM_DELETE);
    EXPECT_EQ(PaneText(), "");
    EXPECT_NE(SendMessageA(EditPane, EM_GETMODIFY, 0, 0), 0);
    SendCommand(IDM_PASTE);
    EXPECT_EQ(PaneText(), "some") << "Delete left the clipboard as it was";
}

TEST_F(EditCommands, UndoTakesBackTyping)
{
    TypeText("typed");
    ASSERT_EQ(PaneText(), "typed");
    SendCommand(IDM_UNDO);
    EXPECT_EQ(PaneText(), "");
}

TEST_F(EditCommands, CutAndPasteMoveTextThroughTheClipboard)
{
    TypeText("cut me");
    SendMessageA(EditPane, EM_SETSEL, 0, 3);
    SendCommand(IDM_CUT);
    EXPECT_EQ(PaneText(), " me");
    SendMessageA(EditPane, EM_SETSEL, 3, 3);
    SendCommand(IDM_PASTE);
    EXPECT_EQ(PaneText(), " mecut");
    SendMessageA(EditPane, EM_SETSEL, 0, 3);
    SendCommand(IDM_COPY);
    SendMessageA(EditPane, EM_SETSEL, 6, 6);
    SendCommand(IDM_PASTE);
    EXPECT_EQ(PaneText(), " mecut me");
}

static int Beeps;
static BOOL(WINAPI *RealMessageBeep)(UINT);
static BOOL WINAPI CountBeep(UINT type) { Beeps++; return RealMessageBeep(type); }

TEST_F(EditCommands, UnknownAndInactiveCommandsChangeNothing)
{
    Reroute("MessageBeep", CountBeep, &RealMessageBeep, "user32.dll");
    TypeText("keep");
    for (WORD command : {(WORD)4242, (WORD)IDM_PRINT, (WORD)IDM_PAGESETUP, (WORD)IDM_HELP}) {
        SCOPED_TRACE(command);
        Beeps = 0;
        SendCommand(command);
        Pump();
        EXPECT_EQ(Beeps, 1);
        EXPECT_EQ(PaneText(), "keep");
        EXPECT_EQ(Caption(MainWindow), "Untitled");
        EXPECT_NE(SendMessageA(EditPane, EM_GETMODIFY, 0, 0), 0);
        EXPECT_TRUE(IsWindow(MainWindow));
    }
    EXPECT_TRUE(Boxes().empty());
}

// What the About box showed, and whether its owner was disabled while it was up.
static std::vector<std::string> AboutTexts;
static bool OwnerDisabled;
static LONG AboutStyle;

static UINT AboutKey;   // pressed on Continue; 0 clicks it

static void UseAbout(HWND dialog)
{
    AboutTexts.clear();
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        AboutTexts.push_back(Caption(child));
    OwnerDisabled = !IsWindowEnabled(MainWindow);
    AboutStyle = GetWindowLongA(dialog, GWL_STYLE);
    PostMessageA(GetDlgItem(dialog, IDOK), AboutKey ? WM_KEYDOWN : BM_CLICK, AboutKey, AboutKey ? 1 : 0);
}

typedef EditorTest AboutBox;

TEST_F(AboutBox, OpensModallyShowsItsTextsAndClosesOnEscapeEnterAndContinue)
{
    for (UINT key : {VK_ESCAPE, VK_RETURN, 0}) {
        AboutKey = key;
        AboutTexts.clear();
        OwnerDisabled = false;
        ExpectDialog(UseAbout);
        SendCommand(IDM_ABOUT);   // returns only when the modal box has closed
        ASSERT_EQ(AboutTexts.size(), 6u);
        for (const char *text : {"Brevitor 1.0", "Example Windows application", "15 January 1995", "Continue"})
            EXPECT_NE(std::find(AboutTexts.begin(), AboutTexts.end(), text), AboutTexts.end()) << text;
        EXPECT_TRUE(OwnerDisabled);
        EXPECT_EQ(AboutStyle & (WS_CAPTION | WS_SYSMENU), 0);
        EXPECT_TRUE(IsWindowEnabled(MainWindow));
    }
    EXPECT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(Boxes()[0].caption, "");
}

// Wine applies the manifest this program carries, as Windows would. The version is read through version.dll, as
// Explorer reads it: neither this program nor the editor links it.
TEST(Resources, DeclareDpiAwarenessAndTheProjectsVersion)
{
    WCHAR aware[8] = L"";
    EXPECT_TRUE(QueryActCtxSettingsW(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                     L"dpiAware", aware, 8, nullptr)) << GetLastError();
    EXPECT_STREQ(aware, L"true");
    HMODULE dll = LoadLibraryA("version.dll");
    auto getInfo = (BOOL(WINAPI *)(LPCSTR, DWORD, DWORD, LPVOID))(void *)GetProcAddress(dll, "GetFileVersionInfoA");
    auto query = (BOOL(WINAPI *)(LPCVOID, LPCSTR, LPVOID *, PUINT))(void *)GetProcAddress(dll, "VerQueryValueA");
    char module[MAX_PATH] = "", info[2048] = "", *version = nullptr;
    UINT length = 0;
    GetModuleFileNameA(nullptr, module, sizeof module);
    ASSERT_TRUE(getInfo && query && getInfo(module, 0, sizeof info, info)) << GetLastError();
    ASSERT_TRUE(query(info, "\\StringFileInfo\\040904E4\\FileVersion", (LPVOID *)&version, &length));
    EXPECT_STREQ(version, BREVITOR_VERSION);
    FreeLibrary(dll);
}

// The real program, started as its own process with this command tail.
static PROCESS_INFORMATION StartProgram(const std::string &tail)
{
    std::string exe = BREVITOR_EXE;
    for (char &c : exe)
        c = c == '/' ? '\\' : c;
    std::string line = "\"Z:" + exe + "\" " + tail;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    EXPECT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << GetLastError();
    return process;
}

// Whatever code the quit message carries, the process ends with 0.
TEST(Program, ExitCodeIsZeroWhateverTheQuitCode)
{
    PROCESS_INFORMATION process = StartProgram("");
    ASSERT_NE(process.hProcess, nullptr);
    WaitForInputIdle(process.hProcess, 20000);
    for (int i = 0; i < 200 && !PostThreadMessageA(process.dwThreadId, WM_QUIT, 7, 0); i++)
        Sleep(50);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// comdlg32 and shell32 bring half a dozen more DLLs into the process: showing a command-line file
// must not need them, only a dialog or a drop does.
TEST(Program, ShowsACommandLineFileWithoutLoadingComdlg32OrShell32)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    std::string path = std::string(temp) + "brv-no-comdlg32.brv";
    WriteBytes(path, "shown at start-up");
    PROCESS_INFORMATION process = StartProgram(path);
    ASSERT_NE(process.hProcess, nullptr);
    // Input idle alone is not enough: loading comdlg32 pumps messages before the file is open.
    HWND window = nullptr;
    for (int i = 0; i < 400 && !window; i++) {
        Sleep(50);
        window = FindWindowA("Brevitor", "brv-no-comdlg32.brv");
    }
    EXPECT_NE(window, nullptr) << "the file was opened";
    WaitForInputIdle(process.hProcess, 20000);
    int modules = 0;
    bool comdlg32 = false, shell32 = false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.dwProcessId);
    MODULEENTRY32 module = {};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module)) {
        modules++;
        comdlg32 = comdlg32 || lstrcmpiA(module.szModule, "comdlg32.dll") == 0;
        shell32 = shell32 || lstrcmpiA(module.szModule, "shell32.dll") == 0;
    }
    CloseHandle(snapshot);
    EXPECT_GT(modules, 3) << "the program's modules were listed";
    EXPECT_FALSE(comdlg32);
    EXPECT_FALSE(shell32);
    PostThreadMessageA(process.dwThreadId, WM_QUIT, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileA(path.c_str());
}
