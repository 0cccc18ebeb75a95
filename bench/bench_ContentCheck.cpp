// The check of every content file before the game loads, which runs at every start, and the
// reading of the large font pictures.
#include "app/ContentCheck.h"
#include "render/Texture.h"

#include <benchmark/benchmark.h>

static void BM_ContentCheckAtStart(benchmark::State& state)
{
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(ContentProblems(TANDREL_GAME_DIR, false));
    }
}
BENCHMARK(BM_ContentCheckAtStart)->Unit(benchmark::kMillisecond);

// The large font pictures read from disk: what a window crossing 960 pixels of picture
// height costs once, before the upload.
static void BM_LargeFontPicturesRead(benchmark::State& state)
{
    const std::filesystem::path data = std::filesystem::path(TANDREL_GAME_DIR) / "data" / "large";
    for (auto _ : state)
    {
        TImage font, numbers;
        benchmark::DoNotOptimize(ReadImageFile(data / "font.tga", font) && ReadImageFile(data / "font1.tga", numbers));
    }
}
BENCHMARK(BM_LargeFontPicturesRead)->Unit(benchmark::kMillisecond);
