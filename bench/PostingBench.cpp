// The daily update on a shop of realistic size: 20,000 holding sales lines
// and 5,000 holding ledger rows over 2,000 customers, posted into tables
// that already hold 300,000 rows. Each iteration starts from a fresh copy of
// the generated database file; only the posting itself is timed, commit
// included.
#include "PostingData.h"
#include "db/Database.h"
#include "sales/DailyUpdate.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

struct GeneratedShop {
    QTemporaryDir dir;
    QString path;
    Date cutoff = Date::fromParts(2024, 5, 10);
    GeneratedHolding holding;
};

const GeneratedShop& shop()
{
    static std::unique_ptr<GeneratedShop> made = [] {
        auto s = std::make_unique<GeneratedShop>();
        s->path = s->dir.filePath(QStringLiteral("shop.db"));
        Database db = Database::create(s->path);
        s->holding = generatePostingShop(db, s->cutoff);
        return s;
    }();
    return *made;
}

void DailyUpdate(benchmark::State& state)
{
    const GeneratedShop& s = shop();
    const QString work = s.dir.filePath(QStringLiteral("work.db"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(work);
        if (!QFile::copy(s.path, work)) {
            state.SkipWithError("cannot copy the generated database");
            break;
        }
        {
            Database db(work);
            state.ResumeTiming();
            const PostingResult r = postHoldingRows(db, s.cutoff);
            state.PauseTiming();
            if (r.salesLines != s.holding.salesDue || r.receivableLines != s.holding.creditLinesDue
                || r.ledgerRows != s.holding.ledgerDue) {
                state.SkipWithError("the run did not post what was due");
                break;
            }
            state.counters["salesLines"] = r.salesLines;
            state.counters["receivableLines"] = r.receivableLines;
            state.counters["ledgerRows"] = r.ledgerRows;
            state.counters["customersCharged"] = r.customersCharged;
            state.counters["customersPaid"] = r.customersPaid;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(DailyUpdate)->Unit(benchmark::kMillisecond)->Iterations(5);

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
