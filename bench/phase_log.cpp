// The timing build's phase marks: kept in memory while the program runs and
// written at exit, one "phase<TAB>performance counter" line each, to the file
// named by SLATEWASH_PHASE_LOG. The counter is system-wide, so the benchmark
// driver can set the marks against its own clock.
#include "base/phases.h"

#include <windows.h>

#include <cstdio>

namespace {

struct Mark {
    const char* phase;
    LONGLONG counter;
};

class PhaseLog {
public:
    void Add(const char* phase) {
        if (count_ == kCapacity) return;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        marks_[count_++] = {phase, now.QuadPart};
    }
    ~PhaseLog() {
        wchar_t path[MAX_PATH] = {};
        if (!GetEnvironmentVariableW(L"SLATEWASH_PHASE_LOG", path, MAX_PATH)) return;
        FILE* file = _wfopen(path, L"w");
        if (!file) return;
        for (int i = 0; i < count_; ++i) std::fprintf(file, "%s\t%lld\n", marks_[i].phase, marks_[i].counter);
        std::fclose(file);
    }

private:
    static constexpr int kCapacity = 512;
    Mark marks_[kCapacity];
    int count_ = 0;
};

PhaseLog phaseLog;

}  // namespace

void MarkPhase(const char* phase) {
    phaseLog.Add(phase);
}
