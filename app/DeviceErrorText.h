// The texts of the device's result codes, shown in the "Render" box when a frame fails.
#pragma once

#include <cstdint>
#include <string>

std::string DeviceErrorText(int32_t code);

// The message shown when the graphics cannot start at all: what the game needs, the window
// system in use, the driver's reason (clipped) and what the player can try.
std::string GraphicsStartText(const std::string& videoDriver, const std::string& reason);
