#pragma once
// A tiny benchmark registry: each bench_*.cpp registers functions that print their own
// figures; main() runs them all in file order.

#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <functional>
#include <vector>

namespace bench {

struct Case {
    const char *name;
    std::function<void()> run;
};

inline std::vector<Case> &registry()
{
    static std::vector<Case> cases;
    return cases;
}

struct Register {
    Register(const char *name, std::function<void()> run) { registry().push_back({name, std::move(run)}); }
};

// Median wall time of `runs` calls of `body`, in microseconds.
template <typename F>
double medianMicros(int runs, F &&body)
{
    std::vector<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Prints one figure as "name: value unit (target)".
void report(const QString &name, double value, const QString &unit, const QString &target = {});

} // namespace bench

#define PINDEL_BENCH_CAT2(a, b) a##b
#define PINDEL_BENCH_CAT(a, b) PINDEL_BENCH_CAT2(a, b)
#define PINDEL_BENCH(name) \
    static void PINDEL_BENCH_CAT(bench_fn_, __LINE__)(); \
    static bench::Register PINDEL_BENCH_CAT(bench_reg_, __LINE__)(name, &PINDEL_BENCH_CAT(bench_fn_, __LINE__)); \
    static void PINDEL_BENCH_CAT(bench_fn_, __LINE__)()
