#include "app/InputEvents.h"

#include "app/ControllerMappings.h"
#include "app/KeyCodes.h"
#include "base/DebugLog.h"

#include <SDL.h>

#include <string>

namespace
{
// The stick leans when past half way, and is back in the middle below a quarter, so a
// stick that trembles at the edge gives one step, not a stream.
constexpr int LeanOn = 16384;
constexpr int LeanOff = 8192;

int Lean(int current, int16_t value)
{
    if (value >= LeanOn)
    {
        return 1;
    }
    if (value <= -LeanOn)
    {
        return -1;
    }
    if (value > -LeanOff && value < LeanOff)
    {
        return 0;
    }
    return current;
}
} // namespace

TInputEvents::~TInputEvents()
{
    for (auto& [id, pad] : Pads)
    {
        SDL_GameControllerClose(pad);
    }
}

void TInputEvents::StartControllers(const std::filesystem::path& userFolder)
{
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    {
        DebugLog(std::string(" No game controllers: ") + SDL_GetError());
        return;
    }
    if (const std::string line = AddControllerMappings(userFolder / "gamecontrollerdb.txt"); !line.empty())
    {
        DebugLog(line);
    }
}

bool TInputEvents::Handle(const SDL_Event& e)
{
    switch (e.type)
    {
    case SDL_KEYDOWN:
        if (e.key.keysym.sym == SDLK_z && (e.key.keysym.mod & KMOD_CTRL) != 0)
        {
            // Ctrl+Z takes back the last move on the board, and types nothing elsewhere.
            if (Router.OnBoard())
            {
                Router.KeyDown(VkU, e.key.repeat != 0);
            }
        }
        else if (const uint16_t key = VirtualKey(e.key.keysym); key != 0)
        {
            Router.KeyDown(key, e.key.repeat != 0);
        }
        return true;
    case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which); pad != nullptr)
        {
            const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
            if (!Pads.emplace(id, pad).second)
            {
                SDL_GameControllerClose(pad); // already open: SDL counts the opens
            }
            else
            {
                const char* name = SDL_GameControllerName(pad);
                DebugLog(std::string(" Game controller: ") + (name != nullptr ? name : "unnamed"));
            }
        }
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (auto it = Pads.find(e.cdevice.which); it != Pads.end())
        {
            SDL_GameControllerClose(it->second);
            Pads.erase(it);
            DebugLog(" Game controller removed");
            Router.PauseGame(); // the player cannot go on with it
        }
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
        Button(e.cbutton.button);
        return true;
    case SDL_CONTROLLERAXISMOTION:
        Axis(e.caxis.axis, e.caxis.value);
        return true;
    default:
        return false;
    }
}

void TInputEvents::Button(uint8_t button)
{
    switch (button)
    {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: Router.KeyDown(VkUp); break;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: Router.KeyDown(VkDown); break;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: Router.KeyDown(VkLeft); break;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: Router.KeyDown(VkRight); break;
    case SDL_CONTROLLER_BUTTON_A: Router.KeyDown(VkEnter); break;
    case SDL_CONTROLLER_BUTTON_B: Router.KeyDown(Router.OnBoard() ? VkBack : VkEscape); break;
    case SDL_CONTROLLER_BUTTON_Y:
        if (Router.OnBoard())
        {
            Router.KeyDown(VkU); // takes back the last move
        }
        break;
    case SDL_CONTROLLER_BUTTON_START:
        // Pauses a game and resumes it from the pause screen; chooses everywhere else.
        Router.KeyDown(Router.InGame() ? VkP : VkEnter);
        break;
    default: break;
    }
}

void TInputEvents::Axis(uint8_t axis, int16_t value)
{
    if (axis == SDL_CONTROLLER_AXIS_LEFTX)
    {
        const int lean = Lean(StickX, value);
        if (lean != StickX && lean != 0)
        {
            Router.KeyDown(lean > 0 ? VkRight : VkLeft);
        }
        StickX = lean;
    }
    else if (axis == SDL_CONTROLLER_AXIS_LEFTY)
    {
        const int lean = Lean(StickY, value);
        if (lean != StickY && lean != 0)
        {
            Router.KeyDown(lean > 0 ? VkDown : VkUp);
        }
        StickY = lean;
    }
}
