// The three delivery forecasts on a shop of 2,000 customers with ten years
// of rice, kerosene and gas history. Each iteration runs one forecast from
// the customer table to the refilled 配達予定 (commit included), over the
// window from 30 days before the cut-off to 30 days after it.
#include "ForecastData.h"
#include "db/Database.h"
#include "forecasts/GasForecast.h"
#include "forecasts/KeroseneForecast.h"
#include "forecasts/RiceForecast.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

struct Shop {
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    Date cutoff = Date::fromParts(2024, 5, 10);
    GeneratedForecastShop made;
    ForecastPeriod window() const { return {cutoff.addDays(-30), cutoff.addDays(30)}; }
};

Shop& shop()
{
    static std::unique_ptr<Shop> made = [] {
        auto s = std::make_unique<Shop>();
        s->db = std::make_unique<Database>(Database::create(s->dir.filePath(QStringLiteral("shop.db"))));
        s->made = generateForecastShop(*s->db, s->cutoff);
        return s;
    }();
    return *made;
}

template <class Run>
void forecastBenchmark(benchmark::State& state, Run run)
{
    Shop& s = shop();
    std::size_t rows = 0;
    for (auto _ : state)
        rows = run(*s.db, s.window(), s.cutoff).size();
    state.counters["rows"] = double(rows);
    state.counters["salesRows"] = s.made.salesRows;
    state.counters["gasRows"] = s.made.gasRows;
}

void RiceForecast(benchmark::State& state)
{
    forecastBenchmark(state, [](Database& db, const ForecastPeriod& p, Date) { return runRiceForecast(db, p); });
}
void KeroseneForecast(benchmark::State& state)
{
    forecastBenchmark(state, [](Database& db, const ForecastPeriod& p, Date) { return runKeroseneForecast(db, p); });
}
void GasForecast(benchmark::State& state)
{
    forecastBenchmark(state, [](Database& db, const ForecastPeriod& p, Date today) { return runGasForecast(db, p, today); });
}
BENCHMARK(RiceForecast)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(KeroseneForecast)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(GasForecast)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    // Qt's SQL driver wants an application object.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
