// Phase marks for the benchmark's timing build (SLATEWASH_PHASE_TIMING): each
// records when start-up or a rebuild reached a named phase. In every other
// build, the shipped one included, a mark is nothing at all.
#pragma once

#ifdef SLATEWASH_PHASE_TIMING
void MarkPhase(const char* phase);
#else
inline void MarkPhase(const char*) {}
#endif
