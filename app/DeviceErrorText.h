// The texts of the device's result codes, shown in the "Render" box when a frame fails.
#pragma once

#include <cstdint>
#include <string>

std::string DeviceErrorText(int32_t code);
