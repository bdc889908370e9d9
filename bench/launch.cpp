// Start-up bench: starts each program in turn and times it from CreateProcess to its main window being
// visible (or showing its text), and to its first wait for input; reads its peak working set, then closes
// it as a user would.
// launch RUNS WARMUPS TAIL [--text=N] PROGRAM...
//   TAIL is the command tail for every program, "-" for none. The programs after --text=N count as shown
//   only once a visible top-level window of theirs has an Edit child holding at least N characters.
#include "stats.h"
#include <psapi.h>
#include <cstdlib>
#include <cstring>
#include <string>

struct Target {
    std::string         path;
    LRESULT             minText; // 0: the first visible window counts; else the text its Edit child must hold
    std::vector<double> visible; // ms from CreateProcess to a visible top-level window (holding its text)
    std::vector<double> ready;   // ms from CreateProcess to the end of WaitForInputIdle
    std::vector<double> peakKiB; // peak working set just before the program is closed
};

struct Search {
    DWORD   process;
    LRESULT minText;
    HWND    found;
};

// The length is asked of the other process, which answers when it next takes messages: a program busy
// until then has not shown its text to a user either.
static bool HoldsText(HWND window, LRESULT minText)
{
    if (minText == 0)
        return true;
    HWND      edit = FindWindowExA(window, nullptr, "Edit", nullptr);
    DWORD_PTR length = 0;
    return edit && SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 30000, &length) &&
           (LRESULT)length >= minText;
}

static BOOL CALLBACK FindMainWindow(HWND window, LPARAM context)
{
    Search *search = (Search *)context;
    DWORD   process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) ||
        !HoldsText(window, search->minText))
        return TRUE;
    search->found = window;
    return FALSE;
}

static void Fail(const Target &target, const char *what)
{
    std::fprintf(stderr, "launch: %s: %s (last error %lu)\n", target.path.c_str(), what, GetLastError());
    std::exit(1);
}

// Waiting on the process for 1 ms is the poll interval, and notices a program that ended early.
static HWND WaitForMainWindow(const Target &target, const PROCESS_INFORMATION &process, double start)
{
    Search search = {process.dwProcessId, target.minText, nullptr};
    for (;;) {
        EnumWindows(FindMainWindow, (LPARAM)&search);
        if (search.found)
            return search.found;
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0)
            Fail(target, "ended before showing a window");
        if (NowMs() - start > 30000)
            Fail(target, "no visible window after 30 s");
    }
}

static void RunOnce(Target &target, const char *tail, bool counted)
{
    std::string line = "\"" + target.path + "\"";
    if (*tail)
        line = line + " " + tail;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    double              start = NowMs();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        Fail(target, "CreateProcess failed");
    HWND                    window = WaitForMainWindow(target, process, start);
    double                  visible = NowMs();
    DWORD                   idle = WaitForInputIdle(process.hProcess, 30000);
    double                  ready = NowMs();
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
        Fail(target, "GetProcessMemoryInfo failed");
    // The document is unmodified, so closing asks nothing and the program ends with its own exit code.
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        Fail(target, "did not end within 30 s of WM_CLOSE");
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (code != 0)
        Fail(target, "ended with a non-zero exit code");
    if (!counted)
        return;
    target.visible.push_back(visible - start);
    if (idle == 0)
        target.ready.push_back(ready - start);
    target.peakKiB.push_back((double)memory.PeakWorkingSetSize / 1024.0);
}

static std::string BaseName(const Target &target)
{
    size_t slash = target.path.find_last_of("\\/");
    return target.path.substr(slash == std::string::npos ? 0 : slash + 1);
}

static std::string Label(const Target &target, const char *measure)
{
    return BaseName(target) + ", " + measure;
}

static const char *ShownLabel(const Target &target)
{
    return target.minText ? "text shown" : "window visible";
}

// Each later program's medians as a ratio to each earlier one's, the first being the floor.
static void PrintRatios(const std::vector<Target> &targets)
{
    std::printf("\n");
    for (size_t i = 1; i < targets.size(); i++) {
        for (size_t j = 0; j < i; j++) {
            std::printf("%s / %s: %s %.3f, ready %.3f, peak working set %.3f (medians)\n", BaseName(targets[i]).c_str(),
                        BaseName(targets[j]).c_str(), ShownLabel(targets[i]),
                        Median(targets[i].visible) / Median(targets[j].visible),
                        Median(targets[i].ready) / Median(targets[j].ready),
                        Median(targets[i].peakKiB) / Median(targets[j].peakKiB));
        }
    }
}

// Rounds alternate the order (A B, B A, ...), so drift in the machine's load falls on both alike.
int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: launch RUNS WARMUPS TAIL|- [--text=N] PROGRAM...\n");
        return 2;
    }
    int                 runs = std::atoi(argv[1]);
    int                 warmups = std::atoi(argv[2]);
    const char         *tail = std::string(argv[3]) == "-" ? "" : argv[3];
    std::vector<Target> targets;
    LRESULT             minText = 0;
    for (int i = 4; i < argc; i++) {
        if (std::strncmp(argv[i], "--text=", 7) == 0)
            minText = std::atol(argv[i] + 7);
        else
            targets.push_back(Target{argv[i], minText, {}, {}, {}});
    }
    for (int round = 0; round < warmups + runs; round++) {
        for (size_t i = 0; i < targets.size(); i++) {
            size_t pick = round % 2 ? targets.size() - 1 - i : i;
            RunOnce(targets[pick], tail, round >= warmups);
        }
    }
    std::printf("| measure | median | min - max | n |\n|---|---|---|---|\n");
    for (const Target &target : targets) {
        PrintRow(Label(target, ShownLabel(target)).c_str(), target.visible, "ms", 1);
        PrintRow(Label(target, "ready for input").c_str(), target.ready, "ms", 1);
        PrintRow(Label(target, "peak working set").c_str(), target.peakKiB, "KiB", 0);
    }
    PrintRatios(targets);
    return 0;
}
