// Every time bound of the tests, stretched by SLATEWASH_TIME_SCALE (a whole
// number, 1 when unset): the same tests serve a machine that runs the 32-bit
// build under emulation, many times slower.
#pragma once

#include <windows.h>

#include <cwchar>

inline DWORD TimeScale() {
    static const DWORD scale = [] {
        wchar_t value[16] = {};
        DWORD length = GetEnvironmentVariableW(L"SLATEWASH_TIME_SCALE", value, 16);
        long parsed = length > 0 && length < 16 ? std::wcstol(value, nullptr, 10) : 1;
        return parsed >= 1 && parsed <= 100 ? static_cast<DWORD>(parsed) : 1UL;
    }();
    return scale;
}

inline DWORD Scaled(DWORD milliseconds) {
    return milliseconds * TimeScale();
}

// Runs this thread's message loop (so windows of this thread receive what is
// posted to them) until `done` returns true or `timeoutMs` (scaled) has passed.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
    timeoutMs = Scaled(timeoutMs);
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
}
