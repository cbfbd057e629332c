// modor: counts the I of 1 .. N (default 10,000,000) with I MOD 3 = 0 OR I MOD 5 = 0; prints the count.
// Usage: modor [N] [--units]   (--units prints the work count instead: N iterations)
#include "workload.h"
int main(int argc, char** argv) {
    const Workload work = ReadWorkload(argc, argv, 10000000LL);
    AnswerUnitsIfAsked(work);
    volatile long long vn = work.N; // keep N opaque to the optimiser
    long long n = vn, c = 0;
    for (long long i = 1; i <= n; ++i)
        if (i % 3 == 0 || i % 5 == 0) ++c;
    printf("%lld\n", c);
    return 0;
}
