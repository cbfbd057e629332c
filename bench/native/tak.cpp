// tak: the Takeuchi function tak(n, 16, 8) (default n = 24) on long double, three arguments each a
// call of its own; prints its value.
// Usage: tak [n] [--units]   (--units prints the number of calls)
#include "workload.h"
static long long calls = 0;
__attribute__((noinline)) static long double tak(long double x, long double y, long double z) {
    ++calls;
    if (y < x) return tak(tak(x - 1.0L, y, z), tak(y - 1.0L, z, x), tak(z - 1.0L, x, y));
    return z;
}
int main(int argc, char** argv) {
    const Workload work = ReadWorkload(argc, argv, 24);
    volatile long double vn = (long double)work.N;
    const long double result = tak(vn, 16.0L, 8.0L);
    if (work.Units)
        printf("%lld\n", calls);
    else
        printf("%.18Lg\n", result);
    return 0;
}
