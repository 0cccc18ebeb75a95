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

    // Fills the window outside area from the back buffer's picture (with near, only the
    // parts of the bands Bands gives for it); the caller restores its own program, vertex
    // array, texture binding, viewport and enables afterwards.
    void Fill(int windowWidth, int windowHeight, const TPictureArea& area, const int* near = nullptr);

    // Whether the bands read what lies in the rectangle (pixels of the window, rows from
    // the bottom): they show the picture's parts near its edges, blurred over a few texels,
    // so a region frame there must fill them again.
    static bool Reads(int windowWidth, int windowHeight, const TPictureArea& area, int x, int y, int width,
                      int height);
    // The bands as rectangles of the window (x, y from the bottom, width, height); returns
    // how many (0 or 2). With near (x, y, width, height of a rectangle of the window, rows
    // from the bottom), only the stretch of each band that what lies in that rectangle can
    // change: a band pixel reads the picture along its length one to one, blurred by at
    // most Reach pixels.
    static int Bands(int windowWidth, int windowHeight, const TPictureArea& area, int (&rects)[2][4],
                     const int* near = nullptr);
    static int Reach();

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};
