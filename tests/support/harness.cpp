// Starting, driving and ending the real editor inside a test process.
#include "tests/support/harness.h"
#include "app/app.h"
#include "document/document.h"
#include "format/format.h"

static char TailBuffer[8192];
static std::string CurrentTempDir;

void StartEditor(const char *commandTail)
{
    lstrcpynA(TailBuffer, commandTail, sizeof TailBuffer);
    KeepRunning = 1;
    StartBrevitor(GetModuleHandleA(nullptr), TailBuffer, SW_SHOWNORMAL);
    Pump();
}

void StopEditor()
{
    if (MainWindow && IsWindow(MainWindow)) {
        SendMessageA(EditPane, EM_SETMODIFY, 0, 0);
        DestroyWindow(MainWindow);
    }
    if (DocFile)
        CloseHandle(DocFile);
    DocFile = nullptr;
    DocPath[0] = '\0';
    MainWindow = nullptr;
    EditPane = nullptr;
    DeleteObject(CurrentFont);
    CurrentFont = nullptr;
    TextColor = FollowSystem;
    BackColor = FollowSystem;
    DrainQuit();
}

void RestartOn(const std::string &path, const std::string &bytes)
{
    StopEditor();
    WriteBytes(path, bytes);
    StartEditor(path.c_str());
    ClearBoxes();
}

// A WM_QUIT is left in the queue for the test to see.
void Pump(int ms)
{
    DWORD start = GetTickCount();
    do {
        MSG peek;
        while (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (peek.message == WM_QUIT)
                return;
            PumpMessage();
        }
        Sleep(1);
    } while (GetTickCount() - start < (DWORD)ms);
}

void DrainQuit()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

std::string CaseName(const std::string &text)
{
    std::string name = text;
    for (char &c : name)
        c = IsCharAlphaNumericA(c) ? c : '_';
    return name;
}

std::string TextOfSize(size_t n)
{
    std::string text;
    while (text.size() < n)
        text += "Every line of this document ends the way the pane keeps lines.\r\n";
    text.resize(n);
    return text;
}

std::string NameOf(const std::string &path)
{
    return path.substr(path.rfind('\\') + 1);
}

std::string PaneText()
{
    static char text[70000];
    text[0] = '\0';
    SendMessageA(EditPane, WM_GETTEXT, sizeof text, (LPARAM)text);
    RECT pane, client;
    GetWindowRect(EditPane, &pane);
    GetClientRect(MainWindow, &client);
    MapWindowPoints(MainWindow, nullptr, (POINT *)&client, 2);
    return IsWindowVisible(EditPane) && EqualRect(&pane, &client) ? text : "<the pane is hidden or out of place>";
}

std::string Caption(HWND window)
{
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

static int LineHeight()
{
    HDC dc = GetDC(EditPane);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(EditPane, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(EditPane, dc);
    return metrics.tmHeight;
}

// The pane's client area excludes its scroll bar, and the pane trims the bottom to whole lines.
void ExpectTextIn4Pixels()
{
    RECT client, text;
    GetClientRect(EditPane, &client);
    SendMessageA(EditPane, EM_GETRECT, 0, (LPARAM)&text);
    EXPECT_EQ(text.left, client.left + 4);
    EXPECT_EQ(text.top, client.top + 4);
    EXPECT_EQ(text.right, client.right - 4);
    EXPECT_LE(text.bottom, client.bottom - 4);
    EXPECT_GT(text.bottom, client.bottom - 4 - LineHeight());
}

void TypeText(const char *text)
{
    for (const char *p = text; *p; p++)
        SendMessageA(EditPane, WM_CHAR, (WPARAM)(unsigned char)(*p == '\n' ? '\r' : *p), 1);
}

// A key as the user presses it: posted to the pane and run through the program's own loop,
// Alt alone as a system key.
void PressKey(BYTE key, bool ctrl, bool alt, bool shift)
{
    BYTE state[256] = {};
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_MENU] = alt ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
    UINT message = alt && !ctrl ? WM_SYSKEYDOWN : WM_KEYDOWN;
    PostMessageA(EditPane, message, key, alt ? 0x20000001 : 1);
    Pump(10);
    BYTE none[256] = {};
    SetKeyboardState(none);
}

void SendCommand(WORD command)
{
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void *RerouteImport(const char *module, const char *name, void *standIn)
{
    BYTE *base = (BYTE *)GetModuleHandleA(nullptr);
    IMAGE_NT_HEADERS *headers = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR *dll = (IMAGE_IMPORT_DESCRIPTOR *)(base + imports.VirtualAddress); dll->Name; dll++) {
        if (lstrcmpiA((char *)(base + dll->Name), module) != 0)
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

static void RemoveTempDir()
{
    if (CurrentTempDir.empty())
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((CurrentTempDir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string path = CurrentTempDir + "\\" + found.cFileName;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA(path.c_str());
            else if (found.cFileName[0] != '.')
                RemoveDirectoryA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(CurrentTempDir.c_str());
    CurrentTempDir.clear();
}

std::string TempDir()
{
    if (CurrentTempDir.empty()) {
        char base[MAX_PATH] = "";
        GetTempPathA(sizeof base, base);
        char name[64];
        wsprintfA(name, "brv%lu-%lu", GetCurrentProcessId(), GetTickCount());
        CurrentTempDir = std::string(base) + name;
        CreateDirectoryA(CurrentTempDir.c_str(), nullptr);
    }
    return CurrentTempDir;
}

std::string TempPath(const char *name)
{
    return TempDir() + "\\" + name;
}

std::string ReadBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE || !WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr))
        ADD_FAILURE() << "could not write " << path;
    CloseHandle(file);
}

void EditorTest::SetUp()
{
    ClearBoxes();
    StartEditor("");
}

void EditorTest::TearDown()
{
    EXPECT_EQ(PendingReplies(), 0) << "an expected box never appeared";
    ClearBoxes();
    StopEditor();
    RemoveTempDir();
}

void EditorTest::Restart(const char *commandTail)
{
    StopEditor();
    StartEditor(commandTail);
}

const Message SaveQuestion = {"Save document \"%s\" before closing?", "???", MB_ICONQUESTION, {IDCANCEL, IDYES, IDNO}};
const Message RevertQuestion = {"Revert to most recently saved version of document \"%s\"?", "???", MB_ICONQUESTION,
                                {IDOK, IDCANCEL}};
const Message DefaultQuestion = {"Revert document \"%s\" to standard text format?", "???", MB_ICONQUESTION,
                                 {IDOK, IDCANCEL}};
// No caption of the program's own: the platform's default.
const Message TooLongNotice = {"Sorry, document \"%s\" is too long for Brevitor to read.", "Error",
                               MB_ICONEXCLAMATION, {IDOK}};
const Message NulNotice = {"Sorry, document \"%s\" holds a NUL byte, which Brevitor cannot read.", "Error",
                           MB_ICONEXCLAMATION, {IDOK}};
const Message IoErrorNotice = {"Unanticipated input/output error #%s.", "Error", MB_ICONEXCLAMATION, {IDOK}};

::testing::AssertionResult IsMessage(const SeenBox &box, const Message &message, const std::string &argument)
{
    std::string text = message.format;
    if (box.text == text.replace(text.find("%s"), 2, argument) && box.caption == message.caption && box.icon == message.icon &&
        box.buttons == message.buttons)
        return ::testing::AssertionSuccess();
    auto result = ::testing::AssertionFailure() << "the box showed \"" << box.text << "\" captioned \"" << box.caption
                                                << "\", icon " << box.icon << ", buttons";
    for (int id : box.buttons)
        result << " " << id;
    return result;
}

::testing::AssertionResult IsIoError(const SeenBox &box, DWORD code)
{
    return IsMessage(box, IoErrorNotice, std::to_string(code));
}
