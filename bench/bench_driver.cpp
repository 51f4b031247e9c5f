// Measures the settings program against an empty Win32 window, alternating
// the two run by run: start-up to the first painted frame, close, save,
// language rebuild and memory. Prints median and spread of each figure and
// the ratio of the medians. Exits non-zero only when it cannot measure.
#include "e2e/program_driver.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr int kLanguageCombo = 2001;
constexpr int kSaveButton = 2022;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Samples {
    std::vector<double> values;
    void Add(double v) { values.push_back(v); }
    double Median() const {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        size_t n = sorted.size();
        return n == 0 ? 0 : (n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2);
    }
    double Min() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
    double Max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "bench: cannot measure: %s\n", what);
    std::exit(2);
}

}  // namespace

void ReportDriverFailure(const std::string& what) {
    Fail(what.c_str());
}

namespace {

std::wstring Folder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// A fresh, empty data folder for each run.
std::wstring FreshDataFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"slatewash-bench-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++counter);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// The window is visible and its thread is back in its message loop, which
// it reaches only after the first frame was painted (UpdateWindow).
HWND WaitForPaintedWindow(DWORD processId, const wchar_t* className, HWND other = nullptr) {
    double deadline = Now() + kTimeoutMs;
    while (Now() < deadline) {
        if (HWND found = FindVisibleWindow(processId, className, other)) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &result)) return found;
        }
        Sleep(1);
    }
    return nullptr;
}

struct Process {
    HANDLE handle = nullptr;
    DWORD id = 0;
};

Process Launch(const std::wstring& exe) {
    std::vector<wchar_t> environment = EnvironmentWithLocalAppData(FreshDataFolder());
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.data(), Folder().c_str(), &startup, &info))
        Fail("CreateProcessW");
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
}

void WaitForExit(Process& process) {
    if (WaitForSingleObject(process.handle, kTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.handle, 1);
        Fail("the process did not exit");
    }
    CloseHandle(process.handle);
}

struct Figures {
    Samples start, close, save, rebuild, peakWorkingSet, privateBytes;
};

void SampleMemory(const Process& process, Figures& figures) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process.handle, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        Fail("GetProcessMemoryInfo");
    figures.peakWorkingSet.Add(static_cast<double>(counters.PeakWorkingSetSize) / 1024.0);
    // PagefileUsage is the commit charge, the same figure as PrivateUsage on
    // Windows; Wine fills only the former.
    figures.privateBytes.Add(static_cast<double>(counters.PagefileUsage) / 1024.0);
}

// Starts a program; returns its painted window, recording the start time.
HWND Start(const std::wstring& exe, const wchar_t* className, Process& process, Figures& figures) {
    double begin = Now();
    process = Launch(exe);
    HWND window = WaitForPaintedWindow(process.id, className);
    if (!window) Fail("no painted window");
    figures.start.Add(Now() - begin);
    return window;
}

void Close(HWND window, Process& process, Figures& figures) {
    double begin = Now();
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForExit(process);
    figures.close.Add(Now() - begin);
}

// Program: start, switch the language (rebuild), close.
void ProgramCloseRun(const std::wstring& exe, Figures& figures) {
    Process process;
    HWND window = Start(exe, L"SlatewashSettings", process, figures);
    HWND combo = GetDlgItem(window, kLanguageCombo);
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    if (count < 3) Fail("the language list is too short");
    double begin = Now();
    SendMessageW(combo, CB_SETCURSEL, count - 1, 0);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kLanguageCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    HWND rebuilt = WaitForPaintedWindow(process.id, L"SlatewashSettings", window);
    if (!rebuilt) Fail("no rebuilt window");
    figures.rebuild.Add(Now() - begin);
    SampleMemory(process, figures);
    Close(rebuilt, process, figures);
}

// Program: start, then Save (write the file, notify, exit).
void ProgramSaveRun(const std::wstring& exe, Figures& figures) {
    Process process;
    HWND window = Start(exe, L"SlatewashSettings", process, figures);
    double begin = Now();
    PostMessageW(GetDlgItem(window, kSaveButton), BM_CLICK, 0, 0);
    WaitForExit(process);
    figures.save.Add(Now() - begin);
}

void BaselineRun(const std::wstring& exe, Figures& figures) {
    Process process;
    HWND window = Start(exe, L"SlatewashBaseline", process, figures);
    SampleMemory(process, figures);
    Close(window, process, figures);
}

void Print(const char* name, const char* unit, const Samples& program, const Samples* baseline) {
    std::printf("%-22s %10.1f %9.1f %9.1f", name, program.Median(), program.Min(), program.Max());
    if (baseline && !baseline->values.empty()) {
        std::printf(" %10.1f %9.1f %9.1f %7.2f", baseline->Median(), baseline->Min(), baseline->Max(),
                    program.Median() / baseline->Median());
    } else {
        std::printf(" %10s %9s %9s %7s", "-", "-", "-", "-");
    }
    std::printf("  %s  (n=%zu)\n", unit, program.values.size());
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    std::wstring program = Folder() + L"\\SlatewashSettings.exe";
    std::wstring baseline = Folder() + L"\\baseline.exe";

    Figures warmUp;
    ProgramCloseRun(program, warmUp);
    BaselineRun(baseline, warmUp);

    Figures a, b;
    for (int i = 0; i < runs; ++i) {
        ProgramCloseRun(program, a);
        BaselineRun(baseline, b);
        ProgramSaveRun(program, a);
        BaselineRun(baseline, b);
    }

    std::printf("%-22s %10s %9s %9s %10s %9s %9s %7s\n", "figure", "program", "min", "max", "baseline", "min", "max",
                "ratio");
    Print("start (ms)", "ms", a.start, &b.start);
    Print("close (ms)", "ms", a.close, &b.close);
    Print("save (ms)", "ms", a.save, nullptr);
    Print("rebuild (ms)", "ms", a.rebuild, nullptr);
    Print("peak working set (KiB)", "KiB", a.peakWorkingSet, &b.peakWorkingSet);
    Print("private bytes (KiB)", "KiB", a.privateBytes, &b.privateBytes);
    return 0;
}
