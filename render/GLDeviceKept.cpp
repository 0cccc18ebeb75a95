// The kept picture of the GL device: a frame that changes a small part of the board redraws
// only that part inside a scissor rectangle, over the frame before.
//
// Where the window can show one region of its back buffer (GLDeviceWindow.cpp), the window
// itself keeps the frame before: the region is drawn into the back buffer and shown alone,
// and the rest of the window stays as it was. Nothing is copied and nothing is held.
//
// Elsewhere frames are drawn into a framebuffer of the window's size and formats, which keeps
// its pixels from one frame to the next (a swapped back buffer keeps none); Present copies
// the picture to the window.
//
// The rasteriser lays out a window's rows from the top and an off-screen framebuffer's from
// the bottom, and where a triangle's edge or a texel boundary falls exactly on a pixel the
// two orders decide differently. The kept picture is therefore drawn with its rows from the
// top as well (the clip origin at the upper left, the viewport and scissor counted from the
// top), which gives the window's very pixels, and turned over when copied to the window.
#include "render/GLDevice_local.h"

#include <algorithm>

namespace
{
// A region of the picture, which lies in the picture's area, as pixels of the window
// counted from its top left, cut to the area.
TFrameRegion InWindow(const TFrameRegion& region, const TPictureArea& a)
{
    const int left = std::clamp(region.Left, 0, a.Width);
    const int top = std::clamp(region.Top, 0, a.Height);
    const int right = std::clamp(region.Left + region.Width, left, a.Width);
    const int bottom = std::clamp(region.Top + region.Height, top, a.Height);
    return {a.Left + left, a.Top + top, right - left, bottom - top};
}

GLint AttachmentParameter(GLenum attachment, GLenum name)
{
    GLint value = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, name, &value);
    return value;
}
} // namespace

bool TGLDevice::KeepPicture(bool keep, bool offScreen)
{
    TImpl& g = *Impl;
    if (!keep || g.Keep)
    {
        if (!keep)
        {
            ReleaseKeptPicture();
            g.InWindow = false;
        }
        g.Keep = keep;
        return true;
    }
    if (!offScreen && WindowShowsRegions())
    {
        // The window keeps what it shows: nothing to copy, no memory of its own.
        g.InWindow = true;
        g.Keep = true;
        return true;
    }
    // The picture off screen must round and compare exactly as the window does: the same
    // colour channels and the same depth precision, or no kept picture at all.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const GLint red = AttachmentParameter(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE);
    const GLint green = AttachmentParameter(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE);
    const GLint blue = AttachmentParameter(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE);
    const GLint alpha = AttachmentParameter(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE);
    GLint depth = 0, stencil = 0;
    if (AttachmentParameter(GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE) != GL_NONE)
    {
        depth = AttachmentParameter(GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE);
    }
    if (AttachmentParameter(GL_STENCIL, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE) != GL_NONE)
    {
        stencil = AttachmentParameter(GL_STENCIL, GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE);
    }
    const bool clipControl = epoxy_gl_version() >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control");
    if (glGetError() != GL_NO_ERROR || !clipControl || red != 8 || green != 8 || blue != 8 || (alpha != 0 && alpha != 8))
    {
        while (glGetError() != GL_NO_ERROR)
        {
        }
        return false;
    }
    GLenum depthFormat = GL_NONE;
    if (depth == 16 && stencil == 0)
    {
        depthFormat = GL_DEPTH_COMPONENT16;
    }
    else if (depth == 24)
    {
        depthFormat = stencil == 8 ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT24;
    }
    else if (depth == 32 && stencil == 0)
    {
        depthFormat = GL_DEPTH_COMPONENT32;
    }
    else if (depth != 0)
    {
        return false;
    }
    g.KeptColourFormat = alpha == 8 ? GL_RGBA8 : GL_RGB8;
    g.KeptDepthFormat = depthFormat;
    g.Keep = true;
    return true;
}

bool TGLDevice::OwesWholeFrame() const
{
    const TImpl& g = *Impl;
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Win, &w, &h);
    return g.Keep && (w != g.SwapW || h != g.SwapH || g.SwapsAtSize < 2);
}

bool TGLDevice::KeepsPicture() const
{
    return Impl->Keep;
}

bool TGLDevice::KeepsPictureInWindow() const
{
    return Impl->Keep && Impl->InWindow;
}

bool TGLDevice::MakeKeptPicture(int w, int h)
{
    TImpl& g = *Impl;
    glGenFramebuffers(1, &g.KeptFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, g.KeptFbo);
    glGenRenderbuffers(1, &g.KeptColour);
    glBindRenderbuffer(GL_RENDERBUFFER, g.KeptColour);
    glRenderbufferStorage(GL_RENDERBUFFER, g.KeptColourFormat, w, h);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, g.KeptColour);
    if (g.KeptDepthFormat != GL_NONE)
    {
        glGenRenderbuffers(1, &g.KeptDepth);
        glBindRenderbuffer(GL_RENDERBUFFER, g.KeptDepth);
        glRenderbufferStorage(GL_RENDERBUFFER, g.KeptDepthFormat, w, h);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER,
                                  g.KeptDepthFormat == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT
                                                                           : GL_DEPTH_ATTACHMENT,
                                  GL_RENDERBUFFER, g.KeptDepth);
    }
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    bool failed = false;
    while (glGetError() != GL_NO_ERROR)
    {
        failed = true;
    }
    if (!complete || failed)
    {
        ReleaseKeptPicture();
        return false;
    }
    g.KeptW = w;
    g.KeptH = h;
    return true;
}

void TGLDevice::LetKeptPictureGo()
{
    TImpl& g = *Impl;
    if (!g.KeptBound && g.KeptFbo != 0)
    {
        ReleaseKeptPicture();
        g.KeptValid = false;
    }
}

void TGLDevice::ReleaseKeptPicture()
{
    TImpl& g = *Impl;
    if (g.KeptBound)
    {
        glClipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        g.KeptBound = false;
    }
    if (g.KeptFbo != 0)
    {
        glDeleteFramebuffers(1, &g.KeptFbo);
        glDeleteRenderbuffers(1, &g.KeptColour);
        glDeleteRenderbuffers(1, &g.KeptDepth);
    }
    g.KeptFbo = g.KeptColour = g.KeptDepth = 0;
    g.KeptValid = false;
    g.KeptW = g.KeptH = 0;
}

bool TGLDevice::BeginFrame(bool keep, const TFrameRegion* region)
{
    TImpl& g = *Impl;
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Win, &w, &h);
    if (!g.Keep || w <= 0 || h <= 0)
    {
        return false;
    }
    if (!keep)
    {
        // Straight to the window: the kept picture no longer holds what is shown.
        g.KeptValid = false;
        g.WindowFrame = false;
        glDisable(GL_SCISSOR_TEST);
        return false;
    }
    if (g.InWindow)
    {
        return BeginWindowFrame(w, h, region);
    }
    bool fresh = !g.KeptValid;
    if (g.KeptFbo == 0 || w != g.KeptW || h != g.KeptH)
    {
        // The first frame, or a new size: a new picture, drawn whole.
        ReleaseKeptPicture();
        if (!MakeKeptPicture(w, h))
        {
            g.Keep = false; // frames go straight to the window again
            return false;
        }
        fresh = true;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, g.KeptFbo);
    glClipControl(GL_UPPER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    g.KeptBound = true;
    if (region == nullptr || fresh)
    {
        g.KeptValid = false; // until this frame is shown
        glDisable(GL_SCISSOR_TEST);
        return false;
    }
    // The kept picture's rows count from the top.
    const TFrameRegion r = InWindow(*region, PictureArea(w, h));
    glEnable(GL_SCISSOR_TEST);
    glScissor(r.Left, r.Top, r.Width, r.Height);
    return true;
}

bool TGLDevice::BeginWindowFrame(int w, int h, const TFrameRegion* region)
{
    TImpl& g = *Impl;
    const bool fresh = !g.KeptValid || w != g.KeptW || h != g.KeptH || OwesWholeFrame();
    g.KeptW = w;
    g.KeptH = h;
    g.WindowFrame = true;
    g.RegionOnly = false;
    if (region == nullptr || fresh)
    {
        g.KeptValid = false; // until this frame is shown
        glDisable(GL_SCISSOR_TEST);
        return false;
    }
    // The window's rows count from the bottom.
    const TFrameRegion r = InWindow(*region, PictureArea(w, h));
    g.ShownX = r.Left;
    g.ShownY = h - (r.Top + r.Height);
    g.ShownW = r.Width;
    g.ShownH = r.Height;
    g.RegionOnly = true;
    glEnable(GL_SCISSOR_TEST);
    glScissor(g.ShownX, g.ShownY, g.ShownW, g.ShownH);
    return true;
}

bool TGLDevice::ShowKeptPicture()
{
    TImpl& g = *Impl;
    if (g.WindowFrame)
    {
        g.WindowFrame = false;
        g.KeptValid = true;
        glDisable(GL_SCISSOR_TEST);
        return g.RegionOnly;
    }
    if (!g.KeptBound)
    {
        return false;
    }
    glDisable(GL_SCISSOR_TEST); // the copy is clipped by it too
    glClipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, g.KeptFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    // Turned over: the kept picture's first row is the window's top row.
    glBlitFramebuffer(0, 0, g.KeptW, g.KeptH, 0, g.KeptH, g.KeptW, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    g.KeptBound = false;
    g.KeptValid = true;
    return false;
}
