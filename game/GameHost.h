// What the rules ask of the rest of the program. The game calls these; the shell wires
// them to the real sound, cursor and camera, and NullGameHost runs a game headless.
#pragma once

#include "game/SoundHost.h"
#include "base/TexMatrix.h"

// Sound and music (ISoundHost), and the cursor, the camera eye and the game-over picture.
class IGameHost : public ISoundHost
{
public:
    // The point of the board plane under the mouse, in world units (x, y).
    virtual float CursorX() const = 0;
    virtual float CursorY() const = 0;
    // Cursor 2 is the game cursor, cursor 3 the aiming cursor of a shot.
    virtual int Cursor() const = 0;
    virtual void SetCursor(int cursor) = 0;
    // The keys or a gamepad put the cursor on the point (x, y) of the board plane; the
    // mouse's next move takes it back.
    virtual void PlaceCursor(float x, float y) = 0;

    // The camera eye point, moved by the level-end flights; ResetEye puts it at rest.
    virtual TVector3& Eye() = 0;
    virtual void ResetEye() = 0;

    // The game-over flight has ended: the shell shows the game-over picture.
    virtual void ShowGameOver() = 0;
};

// A host without a screen or speakers: it keeps the cursor, the eye and the shown
// picture as plain state, so tests and the simulator can drive and inspect a game.
class NullGameHost : public IGameHost
{
public:
    void PlaySound(TSound) override {}
    void StopSound(TSound) override {}
    void PlayMusic(TTune) override {}
    void StopMusic() override {}
    void ApplySoundVolume() override {}
    void ApplyMusicVolume() override {}
    float CursorX() const override { return MouseX; }
    float CursorY() const override { return MouseY; }
    int Cursor() const override { return CursorIndex; }
    void SetCursor(int cursor) override { CursorIndex = cursor; }
    void PlaceCursor(float x, float y) override
    {
        MouseX = x;
        MouseY = y;
    }
    TVector3& Eye() override { return EyePoint; }
    void ResetEye() override { EyePoint = RestEye; }
    void ShowGameOver() override { GameOverShown = true; }

    float MouseX = 100.0f; // off the board until a test moves it
    float MouseY = 100.0f;
    int CursorIndex = 1;
    TVector3 EyePoint = RestEye;
    bool GameOverShown = false;
};
