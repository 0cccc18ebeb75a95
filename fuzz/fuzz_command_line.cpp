// The command line: the input's bytes cut at every NUL into arguments.
#include "app/CommandLine.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i)
    {
        if (data[i] == 0)
        {
            arguments.emplace_back();
        }
        else
        {
            arguments.back() += static_cast<char>(data[i]);
        }
    }
    const TCommandLine line = ParseCommandLine(arguments);
    if (line.Command == TCommand::Refused && line.Problem.size() > 200)
    {
        __builtin_trap(); // a message quotes a short excerpt of an argument, never all of it
    }
    return 0;
}
