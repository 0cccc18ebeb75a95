// Texture loading from a TGA or a JPEG file (the first byte picks which), into a device
// that keeps the pictures in memory.
#include "fuzz/FuzzFiles.h"
#include "render/RecordingDevice.h"
#include "render/Texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
    {
        return 0;
    }
    const std::filesystem::path file = ScratchFolder() / ((data[0] & 1) != 0 ? "picture.jpg" : "picture.tga");
    WriteBytes(file, data + 1, size - 1);
    TRecordingDevice device;
    TTextureRef texture;
    LoadTexture(device, file, texture);
    return 0;
}
