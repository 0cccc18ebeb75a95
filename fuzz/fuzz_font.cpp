// The font metrics, both files alike.
#include "base/DataError.h"
#include "fuzz/FuzzFiles.h"
#include "render/Font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteBytes(ScratchFolder() / "data" / "font.dat", data, size);
    WriteBytes(ScratchFolder() / "data" / "font1.dat", data, size);
    TFonts fonts;
    try
    {
        LoadFontMetrics(fonts, ScratchFolder());
    }
    catch (const TDataError&)
    {
    }
    return 0;
}
