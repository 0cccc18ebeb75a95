// The high-score file: read, then a score placed and the table saved and read back.
#include "front/HighScores.h"
#include "fuzz/FuzzFiles.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = ScratchFolder() / "data" / "Hiscores.dat";
    WriteBytes(file, data, size);
    THiScores scores(file, {});
    if (!scores.Create().empty())
    {
        return 0; // refused, the default tables shown
    }
    scores.ShownMode = size % 2 == 0 ? 1 : 2;
    scores.InsertScore(static_cast<int32_t>(size * 977));
    if (!scores.SaveScores().empty() || !THiScores(file, {}).Create().empty())
    {
        std::abort(); // a table the game wrote itself must read back
    }
    return 0;
}
