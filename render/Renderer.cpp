#include "render/Renderer.h"

#include "base/DebugLog.h"

void ReleaseD3D(TRenderer& r)
{
    try
    {
        DebugLog(" Closing DGfx");
        ReleaseFonts(r.Fonts);
        DebugLog(" Font released");
    }
    catch (...)
    {
        DebugLog(" D3D released with exception");
        return;
    }
    ReleaseDevice(r);
}
