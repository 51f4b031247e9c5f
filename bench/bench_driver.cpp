// Measures the settings program against two floors, an empty Win32 window and
// a window that paints with Direct2D as the program does, run by run in turn
// (A B C A B C ...): start-up to the first painted frame, close, save (the
// program only), rebuild and memory. Prints median and spread of each figure
// and the ratios of the medians, writes them to results.tsv beside itself,
// then times the phases of start-up and rebuild inside the program's timing
// build. Exits non-zero only when it cannot measure, naming the program, the
// run and the step.
#include "e2e/program_driver.h"

#include <psapi.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr int kLanguageCombo = 2001;
constexpr int kSaveButton = 2022;
constexpr UINT kBaselineRebuildMessage = WM_APP + 1;

LONGLONG CounterFrequency() {
    static LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

double CounterToMs(LONGLONG counter) {
    return 1000.0 * static_cast<double>(counter) / static_cast<double>(CounterFrequency());
}

double Now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return CounterToMs(counter.QuadPart);
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

// Which program, run and step is being measured, for a failure's message.
std::string context = "setting up";

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bench: cannot measure: %s: %s\n", context.c_str(), what.c_str());
    std::exit(2);
}

void At(const std::string& program, const std::string& run, const char* step) {
    context = program + ", " + run + ", " + step;
}

}  // namespace

void ReportDriverFailure(const std::string& what) {
    Fail(what);
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
        Fail("CreateProcessW failed");
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
}

void WaitForExit(Process& process) {
    if (WaitForSingleObject(process.handle, kTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.handle, 1);
        Fail("the process did not exit within 20 s");
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
        Fail("GetProcessMemoryInfo failed");
    figures.peakWorkingSet.Add(static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0));
    // PagefileUsage is the commit charge, the same figure as PrivateUsage on
    // Windows; Wine fills only the former.
    figures.privateBytes.Add(static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0));
}

// One of the measured programs: how to find its window and ask for a rebuild.
struct Target {
    const char* name;
    std::wstring exe;
    const wchar_t* windowClass;
    bool isProgram;
    Figures figures;
};

HWND Start(Target& target, const std::string& run, Process& process) {
    At(target.name, run, "start");
    double begin = Now();
    process = Launch(target.exe);
    HWND window = WaitForPaintedWindow(process.id, target.windowClass);
    if (!window) Fail("no painted window within 20 s");
    target.figures.start.Add(Now() - begin);
    return window;
}

// The program rebuilds when another language is chosen; a baseline when asked.
void RequestRebuild(const Target& target, HWND window) {
    if (!target.isProgram) {
        PostMessageW(window, kBaselineRebuildMessage, 0, 0);
        return;
    }
    HWND combo = GetDlgItem(window, kLanguageCombo);
    LRESULT count = Ask(combo, CB_GETCOUNT, 0, 0, "the language list");
    if (count < 3) Fail("the language list has fewer than 3 items");
    Ask(combo, CB_SETCURSEL, count - 1, 0, "the language list");
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kLanguageCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

HWND Rebuild(Target& target, const std::string& run, const Process& process, HWND window) {
    At(target.name, run, "rebuild");
    double begin = Now();
    RequestRebuild(target, window);
    HWND rebuilt = WaitForPaintedWindow(process.id, target.windowClass, window);
    if (!rebuilt) Fail("no rebuilt window within 20 s");
    target.figures.rebuild.Add(Now() - begin);
    return rebuilt;
}

void Close(Target& target, const std::string& run, Process& process, HWND window) {
    At(target.name, run, "close");
    double begin = Now();
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForExit(process);
    target.figures.close.Add(Now() - begin);
}

// Start, rebuild, memory (its peak includes the rebuild), close.
void CycleRun(Target& target, const std::string& run) {
    Process process;
    HWND window = Start(target, run, process);
    window = Rebuild(target, run, process, window);
    At(target.name, run, "memory");
    SampleMemory(process, target.figures);
    Close(target, run, process, window);
}

// Start, then Save: write the file, notify, exit.
void SaveRun(Target& target, const std::string& run) {
    Process process;
    HWND window = Start(target, run, process);
    At(target.name, run, "save");
    double begin = Now();
    PostMessageW(GetDlgItem(window, kSaveButton), BM_CLICK, 0, 0);
    WaitForExit(process);
    target.figures.save.Add(Now() - begin);
}

struct Figure {
    const char* name;
    const char* unit;
    Samples Figures::*samples;
};

constexpr Figure kFigures[] = {
    {"start", "ms", &Figures::start},
    {"close", "ms", &Figures::close},
    {"rebuild", "ms", &Figures::rebuild},
    {"save", "ms", &Figures::save},
    {"peak working set", "MiB", &Figures::peakWorkingSet},
    {"private bytes", "MiB", &Figures::privateBytes},
};

void PrintFigures(const std::vector<Target*>& targets) {
    std::printf("%-18s %-4s", "figure", "unit");
    for (const Target* t : targets) std::printf(" %26s", t->name);
    std::printf("\n%-23s", "");
    for (size_t i = 0; i < targets.size(); ++i) std::printf(" %8s %8s %8s", "median", "min", "max");
    std::printf("   %s\n", "program / each floor (medians)");
    for (const Figure& f : kFigures) {
        std::printf("%-18s %-4s", f.name, f.unit);
        for (const Target* t : targets) {
            const Samples& s = t->figures.*f.samples;
            if (s.values.empty()) {
                std::printf(" %8s %8s %8s", "-", "-", "-");
            } else {
                std::printf(" %8.1f %8.1f %8.1f", s.Median(), s.Min(), s.Max());
            }
        }
        const Samples& program = targets[0]->figures.*f.samples;
        for (size_t i = 1; i < targets.size(); ++i) {
            const Samples& floor = targets[i]->figures.*f.samples;
            if (floor.values.empty()) continue;
            std::printf("   %.2f x %s", program.Median() / floor.Median(), targets[i]->name);
            if (std::string(f.unit) == "MiB") std::printf(" (%+.1f)", program.Median() - floor.Median());
        }
        std::printf("\n");
    }
}

// The figures for the chart script: one line per figure and program.
void WriteResults(const std::vector<Target*>& targets, const std::wstring& path) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << "figure\tunit\tprogram\tmedian\tmin\tmax\tn\n";
    for (const Figure& f : kFigures) {
        for (const Target* t : targets) {
            const Samples& s = t->figures.*f.samples;
            if (s.values.empty()) continue;
            out << f.name << '\t' << f.unit << '\t' << t->name << '\t' << s.Median() << '\t' << s.Min() << '\t'
                << s.Max() << '\t' << s.values.size() << '\n';
        }
    }
}

// Phase marks of one run of the timing build, in the order they were made.
std::vector<std::pair<std::string, double>> ReadPhaseLog(const std::wstring& path) {
    std::vector<std::pair<std::string, double>> marks;
    std::ifstream in{std::filesystem::path(path)};
    std::string line;
    while (std::getline(in, line)) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        marks.push_back({line.substr(0, tab), CounterToMs(std::stoll(line.substr(tab + 1)))});
    }
    return marks;
}

// Phase durations in first-seen order: each phase from the mark before it.
struct PhaseTable {
    std::vector<std::string> order;
    std::map<std::string, Samples> durations;
    void Add(const std::string& phase, double ms) {
        if (!durations.count(phase)) order.push_back(phase);
        durations[phase].Add(ms);
    }
    void Print(const char* title) const {
        std::printf("\n%s (median ms of each step, from the mark before it)\n", title);
        double total = 0;
        for (const std::string& phase : order) {
            double median = durations.at(phase).Median();
            total += median;
            std::printf("  %-36s %8.1f\n", phase.c_str(), median);
        }
        std::printf("  %-36s %8.1f\n", "sum of medians", total);
    }
};

// Adds one sequence of marks, from `first` up to and including the first
// `last`, to the table: each step from the mark before it (the first from
// `before`, the driver's clock at the request, under `firstName`); a phase
// marked again, such as a later paint, adds to its first entry. Returns the
// index after `last`.
size_t AddSequence(const std::vector<std::pair<std::string, double>>& marks, size_t first, double before,
                   const std::string& firstName, const char* last, PhaseTable& table) {
    std::vector<std::pair<std::string, double>> steps;
    double previous = before;
    size_t i = first;
    for (; i < marks.size(); ++i) {
        const auto& [phase, at] = marks[i];
        std::string name = i == first ? firstName : phase;
        auto step = std::find_if(steps.begin(), steps.end(), [&](const auto& s) { return s.first == name; });
        if (step == steps.end()) {
            steps.push_back({name, at - previous});
        } else {
            step->second += at - previous;
        }
        previous = at;
        if (phase == last) break;
    }
    for (const auto& [name, ms] : steps) table.Add(name, ms);
    return i + 1;
}

void PhaseRuns(int runs) {
    std::wstring exe = Folder() + L"\\SlatewashSettingsTimed.exe";
    std::wstring log = Folder() + L"\\phases.log";
    SetEnvironmentVariableW(L"SLATEWASH_PHASE_LOG", log.c_str());
    Target timed{"timing build", exe, L"SlatewashSettings", true, {}};
    PhaseTable startup, rebuild;
    for (int i = 0; i <= runs; ++i) {
        std::string run = i == 0 ? "warm-up" : "phase run " + std::to_string(i);
        DeleteFileW(log.c_str());
        Process process;
        double launched = Now();
        HWND window = Start(timed, run, process);
        At(timed.name, run, "rebuild");
        double requested = Now();
        RequestRebuild(timed, window);
        HWND rebuilt = WaitForPaintedWindow(process.id, timed.windowClass, window);
        if (!rebuilt) Fail("no rebuilt window within 20 s");
        Close(timed, run, process, rebuilt);
        if (i == 0) continue;
        At(timed.name, run, "reading the phase log");
        auto marks = ReadPhaseLog(log);
        if (marks.empty() || marks[0].first != "entry") Fail("no phase log was written");
        size_t next = AddSequence(marks, 0, launched, "process created, DLLs loaded", "window ready", startup);
        while (next < marks.size() && marks[next].first != "rebuild requested") ++next;
        if (next == marks.size()) Fail("the phase log has no rebuild");
        AddSequence(marks, next, requested, "request delivered", "window ready", rebuild);
    }
    SetEnvironmentVariableW(L"SLATEWASH_PHASE_LOG", nullptr);
    startup.Print("Start-up phases of the program");
    rebuild.Print("Rebuild phases of the program");
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    int phaseRuns = std::min(runs, 10);
    Target program{"program", Folder() + L"\\SlatewashSettings.exe", L"SlatewashSettings", true, {}};
    Target empty{"empty window", Folder() + L"\\baseline.exe", L"SlatewashBaseline", false, {}};
    Target d2d{"Direct2D window", Folder() + L"\\baseline_d2d.exe", L"SlatewashBaselineD2D", false, {}};
    std::vector<Target*> targets = {&program, &empty, &d2d};

    for (Target* t : targets) CycleRun(*t, "warm-up");
    for (Target* t : targets) t->figures = {};

    for (int i = 1; i <= runs; ++i) {
        std::string run = "run " + std::to_string(i);
        for (Target* t : targets) CycleRun(*t, run);
        SaveRun(program, run);
    }

    std::printf("%d runs of each, in turn\n\n", runs);
    PrintFigures(targets);
    WriteResults(targets, Folder() + L"\\results.tsv");
    PhaseRuns(phaseRuns);
    return 0;
}
