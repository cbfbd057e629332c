// The command line every native workload takes: [N] [--units]. With --units a workload prints how
// many units of work it does at that N instead of doing them.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>

struct Workload {
    long long N;
    bool Units;
};

inline Workload ReadWorkload(int argc, char** argv, long long defaultN) {
    return {argc > 1 ? atoll(argv[1]) : defaultN, argc > 2 && !strcmp(argv[2], "--units")};
}

// For the workloads whose units are N itself: answers --units and ends.
inline void AnswerUnitsIfAsked(const Workload& work) {
    if (!work.Units) return;
    printf("%lld\n", work.N);
    exit(0);
}
