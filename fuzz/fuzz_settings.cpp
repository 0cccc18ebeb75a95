// The settings file: read (damaged lines and values reported), then saved and read again.
#include "base/Options.h"
#include "fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = ScratchFolder() / "config" / "settings.ini";
    std::filesystem::remove(file.string() + ".damaged");
    WriteBytes(file, data, size);
    TOptions options(file);
    options.ShowMessage = [](const std::string&) {};
    options.Load();
    options.Save();
    TOptions again(file);
    again.ShowMessage = [](const std::string&) {};
    again.Load();
    return 0;
}
