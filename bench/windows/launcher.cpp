// Times two dialog programs from the outside, the same way for both: it
// starts each one, watches its dialog and presses its start button (id
// 1030) as a user would, and reads the process's CPU time and memory.
// bench/run.sh runs it under Wine and turns its samples into a report.
//
// Usage (APP and BASE are a program path and its dialog's caption):
//   launcher.exe launch RUNS APP APP_CAPTION BASE BASE_CAPTION
//     time from CreateProcess to the dialog being visible, then IDCANCEL
//   launcher.exe play RUNS APP APP_CAPTION BASE BASE_CAPTION
//     time from BM_CLICK on "Старт" to the button reading "Стоп"; after
//     1 s of playing, the peak working set and peak pagefile usage
//   launcher.exe cpu RUNS SECONDS APP APP_CAPTION BASE BASE_CAPTION
//     user+kernel CPU time used during SECONDS of playing, and the memory
//     peaks at its end
//
// Each run measures both programs, alternating which goes first so a drift
// of the machine weighs on both alike; launch and play start with one
// unmeasured round of each (cold file cache, first load of Wine's DLLs).
// Output: one line "sample METRIC app|base VALUE" per measurement; times in
// ms, memory in bytes.  Exit code 0; 2 on bad usage; 1 with "error: ..." on
// stderr when a program fails, shows something else (an error box) or stops
// responding.
//
// Built by bench/run.sh:
//   x86_64-w64-mingw32-g++ -std=c++17 -O2 -municode launcher.cpp -o launcher.exe
//       -static -static-libgcc -static-libstdc++ -lpsapi

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

const int kStartButton = 1030;
const wchar_t kTextStart[] = L"\x0421\x0442\x0430\x0440\x0442";         // "Старт"
const wchar_t kTextStop[] = L"\x0421\x0442\x043e\x043f";                // "Стоп"
const wchar_t kTextFailed[] = L"\x041e\x0448\x0438\x0431\x043a\x0430";  // "Ошибка"

// Generous: a program that has not answered by then is stuck, not slow.
const double kTimeoutMs = 20000;
// Lets the freshly shown dialog finish painting before the button is
// pressed, so the press is timed against an idle program.
const DWORD kSettleMs = 300;
const DWORD kPlayBeforeMemoryMs = 1000;

struct Program {
    const wchar_t* label;  // "app" or "base", as printed
    std::wstring path;
    std::wstring caption;
};

struct Child {
    PROCESS_INFORMATION pi;
    HWND dialog;
    HWND button;
};

HANDLE g_running = nullptr;  // ended by Fail, so no program is left behind

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::string Narrow(const wchar_t* text) {
    char buffer[512];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return n > 0 ? std::string(buffer) : std::string();
}

// What a stuck program shows: every top-level window of the process with its
// class, caption and child texts (an error box's message is a child text).
BOOL CALLBACK DescribeChild(HWND window, LPARAM) {
    wchar_t text[256];
    if (GetWindowTextW(window, text, 256) > 0)
        std::fprintf(stderr, "    child: \"%s\"\n", Narrow(text).c_str());
    return TRUE;
}

BOOL CALLBACK DescribeWindow(HWND window, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(pid))
        return TRUE;
    wchar_t cls[128];
    wchar_t text[256];
    GetClassNameW(window, cls, 128);
    GetWindowTextW(window, text, 256);
    std::fprintf(stderr, "  window %s \"%s\"%s\n", Narrow(cls).c_str(), Narrow(text).c_str(),
                 IsWindowVisible(window) ? "" : " (hidden)");
    EnumChildWindows(window, DescribeChild, 0);
    return TRUE;
}

[[noreturn]] void Fail(const Program* program, const char* format, ...) {
    std::fflush(stdout);
    std::fprintf(stderr,
                 "error: %s: ", program ? Narrow(program->path.c_str()).c_str() : "launcher");
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fprintf(stderr, "\n");
    if (g_running) {
        EnumWindows(DescribeWindow, static_cast<LPARAM>(GetProcessId(g_running)));
        TerminateProcess(g_running, 99);
    }
    std::exit(1);
}

void Sample(const char* metric, const Program& program, double value) {
    std::printf("sample %s %s %.3f\n", metric, Narrow(program.label).c_str(), value);
    std::fflush(stdout);
}

void CheckAlive(const Program& program, const Child& child) {
    if (WaitForSingleObject(child.pi.hProcess, 0) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(child.pi.hProcess, &code);
        g_running = nullptr;
        Fail(&program, "exited early with code %lu", code);
    }
}

HWND FindDialogOf(DWORD pid, const wchar_t* caption) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"#32770", caption)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid)
            return window;
    }
    return nullptr;
}

// Starts the program and returns once its dialog is visible; *elapsedMs is
// the time from just before CreateProcess.
Child Launch(const Program& program, double* elapsedMs) {
    Child child = {};
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    std::wstring commandLine = L"\"" + program.path + L"\"";
    const double start = NowMs();
    if (!CreateProcessW(program.path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &child.pi))
        Fail(&program, "CreateProcess failed: %lu", GetLastError());
    g_running = child.pi.hProcess;
    for (;;) {
        child.dialog = FindDialogOf(child.pi.dwProcessId, program.caption.c_str());
        if (child.dialog && IsWindowVisible(child.dialog))
            break;
        CheckAlive(program, child);
        if (NowMs() - start > kTimeoutMs)
            Fail(&program, "no visible dialog \"%s\"", Narrow(program.caption.c_str()).c_str());
        Sleep(1);
    }
    if (elapsedMs)
        *elapsedMs = NowMs() - start;
    return child;
}

// Polls the button's text (read without a message to the program, so the
// poll never waits on it) until it reads `want`; returns the time it did.
double WaitForText(const Program& program, const Child& child, const wchar_t* want) {
    const double start = NowMs();
    wchar_t text[64];
    for (;;) {
        GetWindowTextW(child.button, text, 64);
        if (std::wcscmp(text, want) == 0)
            return NowMs();
        if (std::wcscmp(text, kTextFailed) == 0)
            Fail(&program, "the start failed");
        CheckAlive(program, child);
        if (NowMs() - start > kTimeoutMs)
            Fail(&program, "button still reads \"%s\", not \"%s\"", Narrow(text).c_str(),
                 Narrow(want).c_str());
        Sleep(1);
    }
}

void Close(const Program& program, Child& child) {
    PostMessageW(child.dialog, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(child.pi.hProcess, static_cast<DWORD>(kTimeoutMs)) != WAIT_OBJECT_0)
        Fail(&program, "did not close on IDCANCEL");
    DWORD code = 0;
    GetExitCodeProcess(child.pi.hProcess, &code);
    g_running = nullptr;
    CloseHandle(child.pi.hThread);
    CloseHandle(child.pi.hProcess);
    if (code != 0)
        Fail(&program, "exit code %lu after IDCANCEL", code);
}

// Launches the program and presses its button; returns the press-to-"Стоп"
// time with the program playing.
double LaunchAndStart(const Program& program, Child& child) {
    child = Launch(program, nullptr);
    child.button = GetDlgItem(child.dialog, kStartButton);
    if (!child.button)
        Fail(&program, "dialog has no control %d", kStartButton);
    WaitForText(program, child, kTextStart);
    Sleep(kSettleMs);
    const double pressed = NowMs();
    PostMessageW(child.button, BM_CLICK, 0, 0);
    return WaitForText(program, child, kTextStop) - pressed;
}

void StopAndClose(const Program& program, Child& child) {
    PostMessageW(child.button, BM_CLICK, 0, 0);
    WaitForText(program, child, kTextStart);
    Close(program, child);
}

void SampleMemory(const Program& program, const Child& child, const char* suffix) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(child.pi.hProcess, &counters, sizeof counters))
        Fail(&program, "GetProcessMemoryInfo failed: %lu", GetLastError());
    std::string ws = std::string("peak_working_set") + suffix;
    std::string pf = std::string("peak_pagefile") + suffix;
    Sample(ws.c_str(), program, static_cast<double>(counters.PeakWorkingSetSize));
    Sample(pf.c_str(), program, static_cast<double>(counters.PeakPagefileUsage));
}

unsigned long long Ticks(const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Wine (8.0) answers GetProcessTimes for another process with the caller's
// own times (measured: a child spinning for 4 s showed 30 ms), but reads the
// right figures for each thread; ntdll's wine_get_version tells it is Wine.
bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The process's user+kernel time in ms.  Under Wine, the sum over the
// threads alive now (*threads of them, else -1): over a window of steady
// playing, in which no thread comes or goes, that has the same delta.
double CpuMs(const Program& program, const Child& child, int* threads) {
    FILETIME created, exited, kernel, user;
    *threads = -1;
    if (!UnderWine()) {
        if (!GetProcessTimes(child.pi.hProcess, &created, &exited, &kernel, &user))
            Fail(&program, "GetProcessTimes failed: %lu", GetLastError());
        return static_cast<double>(Ticks(kernel) + Ticks(user)) / 10000.0;  // 100 ns units
    }

    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        Fail(&program, "CreateToolhelp32Snapshot failed: %lu", GetLastError());
    unsigned long long total = 0;
    *threads = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != child.pi.dwProcessId)
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (thread && GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            total += Ticks(kernel) + Ticks(user);
            ++*threads;
        }
        if (thread)
            CloseHandle(thread);
    }
    CloseHandle(snapshot);
    if (*threads == 0)
        Fail(&program, "no thread times readable");
    return static_cast<double>(total) / 10000.0;
}

void LaunchRound(const Program& program, bool measured) {
    double elapsed = 0;
    Child child = Launch(program, &elapsed);
    Close(program, child);
    if (measured)
        Sample("launch_ms", program, elapsed);
}

void PlayRound(const Program& program, bool measured) {
    Child child;
    const double startMs = LaunchAndStart(program, child);
    Sleep(kPlayBeforeMemoryMs);
    if (measured) {
        Sample("start_ms", program, startMs);
        SampleMemory(program, child, "");
    }
    StopAndClose(program, child);
}

void CpuRound(const Program& program, DWORD seconds) {
    Child child;
    LaunchAndStart(program, child);
    const double wall0 = NowMs();
    int threads0 = 0;
    int threads1 = 0;
    const double cpu0 = CpuMs(program, child, &threads0);
    Sleep(seconds * 1000);
    const double cpu1 = CpuMs(program, child, &threads1);
    const double wall1 = NowMs();
    if (threads0 != threads1)
        Fail(&program, "threads changed from %d to %d while the CPU time was summed over them",
             threads0, threads1);
    Sample("cpu_ms", program, cpu1 - cpu0);
    Sample("cpu_threads", program, threads1);
    Sample("cpu_wall_ms", program, wall1 - wall0);
    SampleMemory(program, child, "_cpu");
    StopAndClose(program, child);
}

int Usage() {
    std::fprintf(stderr,
                 "usage: launcher.exe launch|play RUNS APP CAPTION BASE CAPTION\n"
                 "       launcher.exe cpu RUNS SECONDS APP CAPTION BASE CAPTION\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return Usage();
    const std::wstring phase = argv[1];
    const bool cpu = phase == L"cpu";
    if (!cpu && phase != L"launch" && phase != L"play")
        return Usage();
    const int first = cpu ? 4 : 3;  // index of APP
    if (argc != first + 4)
        return Usage();
    const int runs = std::wcstol(argv[2], nullptr, 10);
    const long seconds = cpu ? std::wcstol(argv[3], nullptr, 10) : 0;
    if (runs < 1 || (cpu && seconds < 1))
        return Usage();
    const Program programs[2] = {{L"app", argv[first], argv[first + 1]},
                                 {L"base", argv[first + 2], argv[first + 3]}};

    if (!cpu) {
        for (const Program& p : programs)
            phase == L"launch" ? LaunchRound(p, false) : PlayRound(p, false);
    }
    for (int run = 0; run < runs; ++run) {
        for (int k = 0; k < 2; ++k) {
            const Program& p = programs[(run + k) % 2];
            if (cpu)
                CpuRound(p, static_cast<DWORD>(seconds));
            else if (phase == L"launch")
                LaunchRound(p, true);
            else
                PlayRound(p, true);
        }
    }
    return 0;
}
