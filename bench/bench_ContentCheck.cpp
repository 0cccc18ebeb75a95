// The check of every content file before the game loads: it runs at every start.
#include "app/ContentCheck.h"

#include <benchmark/benchmark.h>

static void BM_ContentCheckAtStart(benchmark::State& state)
{
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(ContentProblems(TANDREL_GAME_DIR, false));
    }
}
BENCHMARK(BM_ContentCheckAtStart)->Unit(benchmark::kMillisecond);
