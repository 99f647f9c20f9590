// Analysis of a large data set: an order-3 polynomial fit and a moving average over 101 values,
// each on 1,000,000 points of a noisy cubic.

#include "analysis/DataOperations.h"
#include "analysis/LeastSquares.h"

#include <benchmark/benchmark.h>
#include <random>
#include <vector>

namespace {

constexpr std::size_t pointCount = 1000000;

struct Data
{
    std::vector<double> x;
    std::vector<double> y;
};

const Data& data()
{
    static const Data d = [] {
        Data result;
        std::mt19937_64 random(7);
        std::normal_distribution<double> noise(0.0, 0.5);
        for (std::size_t i = 0; i < pointCount; ++i) {
            const double x = -5.0 + 10.0 * static_cast<double>(i) / pointCount;
            result.x.push_back(x);
            result.y.push_back(1.0 - 2.0 * x + 0.5 * x * x + 0.25 * x * x * x + noise(random));
        }
        return result;
    }();
    return d;
}

void BM_PolynomialFitOrder3(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(analysis::fitPowerSeries(d.x, d.y, 4));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pointCount));
}
BENCHMARK(BM_PolynomialFitOrder3)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_MovingAverage101(benchmark::State& state)
{
    const Data& d = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(analysis::movingAverage(d.y, 101));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(pointCount));
}
BENCHMARK(BM_MovingAverage101)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
