// The common dialogs, found in comdlg32 when a call first needs them. Importing comdlg32 with the
// program loads half a dozen more DLLs before the window can show; loading it here, by the same code
// on every build, keeps start-up at an empty window's pace without a linker's delay-load helper.
#include "document/document.h"

// Looked up afresh on every call, so nothing is cached: once loaded, comdlg32 stays for the run and
// a repeated look-up costs microseconds against a dialog. comdlg32 is one of the system's known
// DLLs, so the system's own copy is loaded, never a file of that name beside the program.
static void *FindComdlg32Call(LPCSTR name)
{
    HMODULE module = GetModuleHandleA("comdlg32.dll");
    if (!module)
        module = LoadLibraryA("comdlg32.dll");
    return module ? reinterpret_cast<void *>(GetProcAddress(module, name)) : nullptr;
}

// A dialog that cannot be had is a failed step: its number is shown, and the caller sees the
// dialog as cancelled, which leaves everything as it was. Each call is given the type the platform
// declares for it (named only in decltype, so nothing is imported), so its calling convention and
// arguments cannot differ from the real one on any arch.
template <typename Declared, typename Record> static BOOL CallDialog(LPCSTR name, Record dialog)
{
    auto call = reinterpret_cast<Declared>(FindComdlg32Call(name));
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
