#include "MenuFrontEnd.h"

void TMenuFrontEnd::HandleMouseMove(float x, float y)
{
    if (Front.Menu)
    {
        Front.Menu->HandleMouseMove(x, y);
    }
}

void TMenuFrontEnd::ShowScreen(int screen)
{
    if (Front.Menu)
    {
        Front.Menu->ShowScreen(screen);
    }
}

void TMenuFrontEnd::SwapItem(int hide, int show)
{
    if (Front.Menu)
    {
        Front.Menu->SwapItem(hide, show);
    }
}
