// The frame round the board on the back plane, in world units (x grows to the screen's
// left): the content generator draws it, the rules keep the bombs' sparks inside it, and
// the renderer's tests hold the cubes and sparks to it.
#pragma once

#include "base/TexMatrix.h"

// Where the perspective of the resting eye (RestEye) throws the top of a
// cube resting on an edge cell (0.8 high, reaching 4.4 from the board's middle): the
// board's dark well reaches past it on every side, so every cube stands inside the gold rim.
constexpr float ThrownByEye(float reach, float eye)
{
    return eye + (reach - eye) * RestEye.z / (RestEye.z - 0.8f);
}
inline constexpr float FrameMargin = 0.06f; // for the bomb's wick, and a pixel to spare
inline constexpr float FrameWellLeft = ThrownByEye(4.4f, RestEye.x) + FrameMargin; // world +x
inline constexpr float FrameWellRight = ThrownByEye(-4.4f, RestEye.x) - FrameMargin;
inline constexpr float FrameWellTop = ThrownByEye(4.4f, RestEye.y) + FrameMargin;
inline constexpr float FrameWellBottom = ThrownByEye(-4.4f, RestEye.y) - FrameMargin;
inline constexpr float FrameRim = 0.1f; // the gold round the well
// How far inside the well the bombs' sparks stay: clear of the rim, and of the edge rows of
// the picture that a window of another shape continues into its bands, so that a spark's
// region frame leaves the bands as they are.
inline constexpr float SparkClearance = 0.1f;
