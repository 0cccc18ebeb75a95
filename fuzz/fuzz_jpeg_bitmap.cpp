// The JPEG-to-bitmap conversion of the tutorial pages.
#include "fuzz/FuzzFiles.h"
#include "render/Texture.h"

#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path file = ScratchFolder() / "page.jpg";
    WriteBytes(file, data, size);
    try
    {
        ConvertJpegToBmp(file);
    }
    catch (const std::runtime_error&)
    {
    }
    return 0;
}
