// Answers modal boxes from the test side: a thread CBT hook notices each dialog as it is
// activated, and a 1 ms thread timer acts on it from inside the dialog's own modal loop.
// A watchdog thread turns a box left open, or a UI thread that stopped pumping, into a failure.
#include "tests/support/harness.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <deque>
#include <set>

// How to answer a box: a callback, or for a file dialog a file type and name, or a button.
struct Reply {
    int button = IDCANCEL;
    std::string typeName;
    int typeSteps = 0;
    BoxAction action = nullptr;
};

static HHOOK CbtHook;
static std::deque<Reply> Replies;
static std::vector<SeenBox> Seen;
static std::set<HWND> Handled;
static HWND PendingDialog;
static DWORD UiThread;
static volatile LONG BoxOpenSince;   // tick count when the newest box appeared, 0 when none

HWND FindChildEdit(HWND parent, int id)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (GetDlgCtrlID(child) == id && lstrcmpiA(cls, "Edit") == 0)
            return child;
        HWND inner = FindChildEdit(child, id);
        if (inner)
            return inner;
    }
    return nullptr;
}

void Click(HWND dialog, int button)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)GetDlgItem(dialog, button));
}

void ClickOk(HWND dialog) { Click(dialog, IDOK); }

// The visible push buttons, and the standard icon a message box shows.
static void RecordControls(HWND dialog, SeenBox &box)
{
    const struct { int type; LPCSTR name; } icons[] = {
        {MB_ICONHAND, IDI_HAND}, {MB_ICONQUESTION, IDI_QUESTION}, {MB_ICONEXCLAMATION, IDI_EXCLAMATION},
        {MB_ICONASTERISK, IDI_ASTERISK}};
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = "";
        GetClassNameA(child, cls, sizeof cls);
        LONG style = IsWindowVisible(child) ? GetWindowLongA(child, GWL_STYLE) : -1;   // hidden: neither
        if (lstrcmpiA(cls, "Button") == 0 && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON)
            box.buttons.push_back(GetDlgCtrlID(child));
        for (const auto &icon : icons)
            if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON &&
                (HICON)SendMessageA(child, STM_GETICON, 0, 0) == LoadIconA(nullptr, icon.name))
                box.icon = icon.type;
    }
    std::sort(box.buttons.begin(), box.buttons.end());
}

static void RecordFileDialog(HWND dialog, HWND nameBox, SeenBox &box)
{
    box.fileName = Caption(nameBox);
    char folder[MAX_PATH] = "";
    SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, (LPARAM)folder);
    box.folder = folder;
    HWND types = GetDlgItem(dialog, FileTypeList);
    box.fileType = (int)SendMessageA(types, CB_GETCURSEL, 0, 0);
    for (int i = 0; i < (int)SendMessageA(types, CB_GETCOUNT, 0, 0); i++) {
        char type[128] = "";
        SendMessageA(types, CB_GETLBTEXT, i, (LPARAM)type);
        box.fileTypes.push_back(type);
    }
}

static void Answer(HWND dialog)
{
    SeenBox box;
    box.caption = Caption(dialog);
    HWND nameBox = FindChildEdit(dialog, FileNameBox);
    box.isFileDialog = nameBox != nullptr;
    if (nameBox)
        RecordFileDialog(dialog, nameBox, box);
    else if (GetDlgItem(dialog, 0xFFFF))
        box.text = Caption(GetDlgItem(dialog, 0xFFFF));
    RecordControls(dialog, box);
    Seen.push_back(box);
    if (Replies.empty()) {
        ADD_FAILURE() << "unexpected box \"" << box.caption << "\": " << box.text << box.fileName;
        Click(dialog, IDCANCEL);
        return;
    }
    Reply reply = Replies.front();
    Replies.pop_front();
    if (reply.action) {
        reply.action(dialog);
    } else if (box.isFileDialog && !reply.typeName.empty()) {
        for (int i = 0; i < reply.typeSteps; i++)
            SendDlgItemMessageA(dialog, FileTypeList, WM_KEYDOWN, VK_DOWN, 0);
        SetWindowTextA(nameBox, reply.typeName.c_str());
        Click(dialog, IDOK);
    } else if (std::find(box.buttons.begin(), box.buttons.end(), reply.button) == box.buttons.end()) {
        ADD_FAILURE() << "box \"" << box.caption << "\" (" << box.text << ") has no button " << reply.button;
        Click(dialog, box.buttons.empty() ? IDCANCEL : box.buttons.front());
    } else {
        Click(dialog, reply.button);
    }
}

static void CALLBACK AnswerSoon(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND dialog = PendingDialog;
    PendingDialog = nullptr;
    if (dialog && IsWindow(dialog))
        Answer(dialog);
}

static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    // Wine also reports other processes' boxes here when tests run side by side: answer only ours.
    if (code == HCBT_ACTIVATE && GetWindowThreadProcessId(window, nullptr) == UiThread) {
        char cls[16] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && Handled.insert(window).second) {
            PendingDialog = window;
            InterlockedExchange(&BoxOpenSince, (LONG)GetTickCount());
            SetTimer(nullptr, 0, 1, AnswerSoon);
        }
    } else if (code == HCBT_DESTROYWND) {
        if (Handled.erase(window) && Handled.empty())
            InterlockedExchange(&BoxOpenSince, 0);
    }
    return CallNextHookEx(CbtHook, code, wParam, lParam);
}

static BOOL CALLBACK CancelDialog(HWND window, LPARAM)
{
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0)
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

// Runs beside the UI thread: cancels boxes open for more than 15 s (the test then fails on
// its assertions), and ends the process if boxes stay up for a minute, so nothing hangs CI.
static DWORD WINAPI Watchdog(LPVOID)
{
    for (;;) {
        Sleep(500);
        LONG since = BoxOpenSince;
        if (since == 0)
            continue;
        DWORD open = GetTickCount() - (DWORD)since;
        if (open > 15000)
            EnumThreadWindows(UiThread, CancelDialog, 0);
        if (open > 60000) {
            fprintf(stderr, "watchdog: a box stayed open for a minute; ending the test process\n");
            fflush(stderr);
            ExitProcess(3);
        }
    }
}

void InstallAutopilot()
{
    UiThread = GetCurrentThreadId();
    CbtHook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, UiThread);
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
}

void ExpectBox(int button)
{
    Reply reply;
    reply.button = button;
    Replies.push_back(reply);
}

void ExpectFileDialog(const std::string &name, int typeSteps)
{
    Reply reply;
    reply.button = name.empty() ? IDCANCEL : IDOK;
    reply.typeName = name;
    reply.typeSteps = typeSteps;
    Replies.push_back(reply);
}

void ExpectDialog(BoxAction action)
{
    Reply reply;
    reply.action = action;
    Replies.push_back(reply);
}

const std::vector<SeenBox> &Boxes() { return Seen; }
int PendingReplies() { return (int)Replies.size(); }

void ClearBoxes()
{
    Seen.clear();
    Replies.clear();
}
