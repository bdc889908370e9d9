// The system DLLs loaded when a call first needs them: comdlg32 for the common dialogs, shell32 for
// dropped files. Importing either with the program loads half a dozen more DLLs before the window can
// show; loading them here, by the same code on every build, keeps start-up at an empty window's pace
// without a linker's delay-load helper.
#include "app/app.h"
#include "document/document.h"

// Looked up afresh on every call, so nothing is cached: once loaded, a DLL stays for the run and a
// repeated look-up costs microseconds against a dialog or a drop. Both are among the system's known
// DLLs, so the system's own copy is loaded, never a file of that name beside the program.
static void *FindSystemCall(LPCSTR dll, LPCSTR name)
{
    HMODULE module = GetModuleHandleA(dll);
    if (!module)
        module = LoadLibraryA(dll);
    return module ? reinterpret_cast<void *>(GetProcAddress(module, name)) : nullptr;
}

// Each call is given the type the platform declares for it (named only in decltype, so nothing is
// imported), so its calling convention and arguments cannot differ from the real one on any arch.
template <typename Declared> static Declared FindCall(LPCSTR dll, LPCSTR name)
{
    return reinterpret_cast<Declared>(FindSystemCall(dll, name));
}

// A dialog that cannot be had is a failed step: its number is shown, and the caller sees the
// dialog as cancelled, which leaves everything as it was.
template <typename Declared, typename Record> static BOOL CallDialog(LPCSTR name, Record dialog)
{
    auto call = FindCall<Declared>("comdlg32.dll", name);
    if (call)
        return call(dialog);
    CheckIoStep(FALSE);
    return FALSE;
}

BOOL Comdlg32::GetOpenFileNameA(LPOPENFILENAMEA dialog)
{
    return CallDialog<decltype(&::GetOpenFileNameA)>("GetOpenFileNameA", dialog);
}

BOOL Comdlg32::GetSaveFileNameA(LPOPENFILENAMEA dialog)
{
    return CallDialog<decltype(&::GetSaveFileNameA)>("GetSaveFileNameA", dialog);
}

BOOL Comdlg32::ChooseFontA(LPCHOOSEFONTA dialog)
{
    return CallDialog<decltype(&::ChooseFontA)>("ChooseFontA", dialog);
}

BOOL Comdlg32::ChooseColorA(LPCHOOSECOLORA dialog)
{
    return CallDialog<decltype(&::ChooseColorA)>("ChooseColorA", dialog);
}

// No shell32 means no dropped file's name: the number is shown and the drop seen as empty.
UINT Shell32::DragQueryFileA(HDROP drop, UINT index, LPSTR name, UINT size)
{
    auto call = FindCall<decltype(&::DragQueryFileA)>("shell32.dll", "DragQueryFileA");
    if (call)
        return call(drop, index, name, size);
    CheckIoStep(FALSE);
    return 0;
}

// Without shell32 the drop cannot be finished either, and its memory stays with the process; the
// query has already reported why.
void Shell32::DragFinish(HDROP drop)
{
    auto call = FindCall<decltype(&::DragFinish)>("shell32.dll", "DragFinish");
    if (call)
        call(drop);
}
