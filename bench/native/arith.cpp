// arith: A = A + I*2, B = A - I for I = 1 to N (default 10,000,000); prints B (N * N).
// 80-bit long double, as the BASIC's numbers are floats.
// Usage: arith [N] [--units]   (--units prints the work count instead: N iterations)
#include "workload.h"
int main(int argc, char** argv) {
    const Workload work = ReadWorkload(argc, argv, 10000000LL);
    AnswerUnitsIfAsked(work);
    volatile long double vn = (long double)work.N; // keep N opaque to the optimiser
    long double limit = vn, a = 0.0L, b = 0.0L;
    for (long double i = 1.0L; i <= limit; i += 1.0L) {
        a = a + i * 2.0L;
        b = a - i;
    }
    printf("%.18Lg\n", b);
    return 0;
}
