// The bands beside the 4:3 picture of a window of another shape: the picture just drawn,
// its edges continued outwards, blurred and dimmed, so the backdrop goes on to the
// window's edges instead of black bars. Part of the GL device (it calls gl*).
#pragma once

#include "render/PictureArea.h"

#include <memory>

class TGLMargins
{
public:
    TGLMargins();
    ~TGLMargins();
    TGLMargins(const TGLMargins&) = delete;
    TGLMargins& operator=(const TGLMargins&) = delete;

    // Fills the window outside area from the back buffer's picture; the caller restores
    // its own program, vertex array, texture binding, viewport and enables afterwards.
    void Fill(int windowWidth, int windowHeight, const TPictureArea& area);

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};
