#include "app/DeviceErrorText.h"

#include "base/Text.h"

#include <array>
#include <utility>

std::string DeviceErrorText(int32_t code)
{
    // TRANSLATORS: the graphics device's result codes, shown in the "Render" message box
    static const std::array<std::pair<uint32_t, const char*>, 24> texts = {{
        {0x00000000u, N_("No error occurred.")},
        {0x80004005u, N_("An undetermined error occurred inside the graphics driver.")},
        {0x8007000Eu, N_("The graphics driver could not allocate sufficient memory to complete the call.")},
        {0x80070057u, N_("An invalid parameter was passed to the returning function")},
        {0x8876017Cu, N_("The graphics driver does not have enough display memory to perform the operation.")},
        {0x88760818u, N_("The pixel format of the texture surface is not valid.")},
        {0x88760819u, N_("The device does not support a specified texture-blending operation for color values.")},
        {0x8876081Au, N_("The device does not support a specified texture-blending argument for color values.")},
        {0x8876081Bu, N_("The device does not support a specified texture-blending operation for the alpha channel.")},
        {0x8876081Cu, N_("The device does not support a specified texture-blending argument for the alpha channel.")},
        {0x8876081Du, N_("The application is requesting more texture-filtering operations than the device")},
        {0x8876081Eu, N_("The current texture filters cannot be used together.")},
        {0x8876081Fu, N_("The device does not support the specified texture factor value.")},
        {0x88760821u, N_("The currently set render states cannot be used together.")},
        {0x88760822u, N_("The device does not support the specified texture filter.")},
        {0x88760826u, N_("The current textures cannot be used simultaneously. This generally occurs when a multitexture "
                      "device requires that all palletized textures simultaneously enabled also share the same "
                      "palette.")},
        {0x88760827u, N_("Internal driver error.")},
        {0x88760866u, N_("The requested item was not found.")},
        {0x88760867u, N_("There is more data available than the specified buffer size can hold.")},
        {0x88760868u, N_("The device is lost and cannot be restored at the current time, so rendering is not possible.")},
        {0x88760869u, N_("The device cannot be reset.")},
        {0x8876086Au, N_("This device does not support the queried technique.")},
        {0x8876086Bu, N_("The requested device type is not valid.")},
        {0x8876086Cu, N_("The method call is invalid. For example, a method's parameter may have an invalid value.")},
    }};
    for (const auto& [value, text] : texts)
    {
        if (value == static_cast<uint32_t>(code))
        {
            return _(text);
        }
    }
    return _("Unrecognized Error");
}

std::string GraphicsStartText(const std::string& videoDriver, const std::string& reason)
{
    std::string text = std::string(_("Tandrel could not start its graphics.\n\n"
                                     "It needs OpenGL 3.3 (core profile); a graphics card is not required, "
                                     "Mesa's software renderer is enough.\n")) +
                       Formatted(_("Window system: %s.\n"), videoDriver.empty() ? std::string(_("none")) : videoDriver);
    if (!reason.empty())
    {
        // A driver's message may be long: the box shows its start.
        constexpr std::size_t MaxReason = 200;
        text += Formatted(_("The driver said: %s\n"),
                          reason.substr(0, MaxReason) + (reason.size() > MaxReason ? "..." : ""));
    }
    text += _("\nWhat to try: install or update the OpenGL driver (Debian: libgl1-mesa-dri), "
              "choose a window instead of full screen in the launcher's options, "
              "or start with SDL_VIDEODRIVER=x11 (or wayland) to use the other window system.");
    return text;
}
