// The menu file, beside the shipped menu pictures it names.
#include "base/DataError.h"
#include "front/MenuFile.h"
#include "fuzz/FuzzFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool linked = []
    {
        std::error_code ec;
        std::filesystem::create_directory_symlink(ShippedFolder() / "Images", ScratchFolder() / "Images", ec);
        return true;
    }();
    (void)linked;
    WriteBytes(ScratchFolder() / "data" / "Menu.dat", data, size);
    try
    {
        TMenuFile::Load(ScratchFolder());
    }
    catch (const TDataError&)
    {
    }
    return 0;
}
