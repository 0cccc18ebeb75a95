// The list of everything the generator makes, one job per independent group of files.
#pragma once

#include "tools/content/Output.h"
#include "tools/content/Sources.h"

#include <functional>
#include <string>
#include <vector>

struct TContentJob
{
    std::string Name;
    std::function<void(const TOutput&, const TSources&)> Make;
    // Composes frames rendered by tandrel-snapshot: runs only when a renders folder is given.
    bool NeedsRenders = false;
    // Made only when named in --only: files that belong beside the program folder, not in it.
    bool OnRequest = false;
};

// Longest jobs first, so that the workers finish together. The menu's word pictures and the
// voice lines are a job per translation of `sources` ("menu/de"), the tutorial a job per page
// ("tutorial/3") in every language.
std::vector<TContentJob> ContentJobs(const TSources& sources);
