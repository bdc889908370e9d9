// Small helpers for tests that open, edit and save documents as a user would.
#pragma once
#include "tests/support/harness.h"
#include "app/app.h"
#include "app/resource.h"
#include "document/document.h"
#include <shlobj.h>

// Whether the pane counts its text as unsaved.
inline bool Modified()
{
    return SendMessageA(EditPane, EM_GETMODIFY, 0, 0) != 0;
}

// File > Open, typing path into the dialog; for an existing file (a missing one
// raises the dialog's own create prompt, which needs an answer of its own).
inline void OpenThroughDialog(const std::string &path)
{
    ExpectFileDialog(path);
    SendCommand(IDM_OPEN);
}

// Replaces the whole text by typing over a full selection: an edit, so it counts as unsaved.
inline void TypeOver(const char *text)
{
    SendMessageA(EditPane, EM_SETSEL, 0, -1);
    if (*text)
        TypeText(text);
    else
        SendMessageA(EditPane, WM_CLEAR, 0, 0);
}

// Another program holding the file open as given; INVALID_HANDLE_VALUE when it cannot.
inline HANDLE HoldFile(const std::string &path, DWORD access, DWORD share)
{
    return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

// What another program gets when it opens path with the given access and sharing:
// 0 when it may, else the error code. The handle is closed again at once.
inline DWORD OpenErrorFor(const std::string &path, DWORD access, DWORD share)
{
    HANDLE file = HoldFile(path, access, share);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return 0;
}

// Another program trying to write the file, letting others read and write.
inline DWORD WriteOpenError(const std::string &path)
{
    return OpenErrorFor(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
}

// The file's last-write time, read without opening it.
inline ULONGLONG LastWriteTime(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return ((ULONGLONG)data.ftLastWriteTime.dwHighDateTime << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// A Linux program changing path as any can under Wine, whatever Brevitor holds: "mv" renames a file of these
// bytes over it, "cp" rewrites it in place with them, "rm" removes it. Wine starts it from its Z: path but
// gives no handle to wait on, so the wait is for the change itself.
inline void ChangeFromLinux(const std::string &tool, const std::string &path, const std::string &bytes = "")
{
    auto unixName =
        (char *(CDECL *)(LPCWSTR))(void *)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    std::string fresh = path + ".new", line = "Z:\\bin\\" + tool;
    std::vector<std::string> names = {path};
    if (tool != "rm") {
        WriteBytes(fresh, bytes);
        names.insert(names.begin(), fresh);
    }
    for (const std::string &name : names)   // the temp folder's path is ASCII
        line += " \"" + std::string(unixName(std::wstring(name.begin(), name.end()).c_str())) + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    auto gone = [](const std::string &name) { return GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES; };
    for (int i = 0; i < 500 && !(tool == "cp" ? ReadBytes(path) == bytes : gone(tool == "rm" ? path : fresh)); i++)
        Sleep(10);
    DeleteFileA(fresh.c_str());
}

// A document without a file after a failed open or create: no path, no title, "Untitled" shown.
inline void ExpectFileLost()
{
    EXPECT_EQ(DocFile, nullptr);
    EXPECT_STREQ(DocPath, "");
    EXPECT_STREQ(DocTitle, "");
    EXPECT_EQ(Caption(MainWindow), "Untitled");
}

// Drops files on the main window as the platform does: a DROPFILES block of ANSI names in moveable
// global memory, sent as WM_DROPFILES. Returns the block, which the program is to have finished.
inline HGLOBAL DropFiles(const std::vector<std::string> &paths)
{
    DROPFILES header = {sizeof(DROPFILES), {0, 0}, FALSE, FALSE};   // fWide FALSE: ANSI names follow it
    std::string block((const char *)&header, sizeof header);
    for (const std::string &path : paths)
        block += path + '\0';
    block += '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE, block.size());
    memcpy(GlobalLock(drop), block.data(), block.size());
    GlobalUnlock(drop);
    SendMessageA(MainWindow, WM_DROPFILES, (WPARAM)drop, 0);
    return drop;
}
