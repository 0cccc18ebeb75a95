// SDL's keyboard and game-controller events turned into the keys the router takes. Keys
// arrive by their place on the keyboard (KeyCodes.h). Game controllers are opened as they
// are plugged in, through SDL's mapping database, and work as the keys do: the d-pad and
// the left stick are the cursor keys, A is Enter, B is Escape (on the board: cancel, as
// Backspace), Start pauses a game and chooses elsewhere. A controller unplugged while a
// game is played pauses it.
#pragma once

#include "app/InputRouting.h"

#include <SDL_events.h>
#include <SDL_gamecontroller.h>

#include <filesystem>
#include <map>

class TInputEvents
{
public:
    explicit TInputEvents(TInputRouter& router) : Router(router) {}
    ~TInputEvents();
    TInputEvents(const TInputEvents&) = delete;
    TInputEvents& operator=(const TInputEvents&) = delete;

    // Starts SDL's controller support and adds the mappings of a gamecontrollerdb.txt in
    // the user folder, when the player has put one there. Controllers already plugged in
    // arrive as events.
    static void StartControllers(const std::filesystem::path& userFolder);
    // True when the event was a key or controller event (handled here).
    bool Handle(const SDL_Event& e);
    int OpenControllers() const { return static_cast<int>(Pads.size()); }

private:
    void Button(uint8_t button);
    void Axis(uint8_t axis, int16_t value);

    TInputRouter& Router;
    std::map<SDL_JoystickID, SDL_GameController*> Pads;
    int StickX = 0; // where the left stick leans: -1, 0, +1 (right and down positive)
    int StickY = 0;
};
