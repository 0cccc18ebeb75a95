#include "front/D3DMenu.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <system_error>
#include <utility>

bool TMenuItem::Hit(float x, float y) const
{
    const TVector3& p = NormalTransform.Position;
    const TVector3& s = NormalTransform.Scale;
    return p.x - s.x / 2 <= x && x <= p.x + s.x / 2 && p.y - s.y / 2 <= y && y <= p.y + s.y / 2;
}

TD3DMenu::TD3DMenu(std::function<void(TSound)> playSound, std::function<double()> clock)
    : PlaySound(std::move(playSound)), Clock(std::move(clock))
{
}

double TD3DMenu::Now() const
{
    if (Clock)
    {
        return Clock();
    }
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void TD3DMenu::Play(TSound sound) const
{
    if (PlaySound)
    {
        PlaySound(sound);
    }
}

void TD3DMenu::SetScreenCount(int n)
{
    ScreenCount = std::clamp(n, 0, MaxMenuScreens);
    for (int s = 1; s <= MaxMenuScreens; ++s)
    {
        Screens[s] = TMenuScreen{};
    }
    CurrentScreen = 1;
}

bool TD3DMenu::AddItem(const std::shared_ptr<TDevice>& device, int screen,
                       const std::filesystem::path& normalImage,
                       const std::filesystem::path& highlightImage, const TVector3& position,
                       const TVector3& scale, const TVector3& rotation, bool visible,
                       bool selectable)
{
    if (screen < 1 || screen > ScreenCount || Screens[screen].ItemCount >= MaxMenuItems)
    {
        return false;
    }
    TMenuScreen& s = Screens[screen];
    TMenuItem& item = s.Items[++s.ItemCount];
    item = TMenuItem{};
    const bool shown = screen == CurrentScreen; // the others' pictures are read when they show
    std::error_code ec;
    if (std::filesystem::exists(normalImage, ec))
    {
        item.NormalSprite = std::make_shared<T3DSprite>(device, normalImage, true, shown);
    }
    if (std::filesystem::exists(highlightImage, ec))
    {
        item.HighlightSprite = std::make_shared<T3DSprite>(device, highlightImage, true, shown);
    }
    item.NormalTransform = {scale, position, rotation};
    item.PressedTransform = item.NormalTransform;
    item.PressedTransform.Scale.x *= 0.98f;
    item.PressedTransform.Scale.y *= 0.98f;
    item.PressedTransform.Position.y -= 0.03f;
    item.Visible = visible;
    item.Selectable = selectable;
    for (T3DSprite* sprite : {item.NormalSprite.get(), item.HighlightSprite.get()})
    {
        if (sprite != nullptr)
        {
            item.NormalTransform.CopyTo(*sprite);
        }
    }
    return true;
}

void TD3DMenu::ShowScreen(int k)
{
    if (k < 1 || k > ScreenCount)
    {
        return;
    }
    CurrentScreen = k;
    ShownAt = Now();
    KeepPicturesOf(k);
    TMenuScreen& s = Screens[k];
    for (int i = s.ItemCount; i >= 1; --i)
    {
        TMenuItem& item = s.Items[i];
        if (item.Usable())
        {
            s.SelectedItem = i;
            s.HoverItem = i;
        }
        if (item.NormalSprite)
        {
            item.NormalTransform.CopyTo(*item.NormalSprite); // undoes a pressed look
        }
    }
}

void TD3DMenu::KeepPicturesOf(int k)
{
    // Only the screen shown holds its pictures (a screen's are read in a few milliseconds,
    // all of them take some 18 MB). A picture two screens share is let go first and read
    // again at once.
    for (int screen = 1; screen <= ScreenCount; ++screen)
    {
        if (screen != k)
        {
            KeepScreen(screen, false);
        }
    }
    KeepScreen(k, true);
}

void TD3DMenu::KeepScreen(int k, bool keep)
{
    const TMenuScreen& s = Screens[k];
    for (int i = 1; i <= s.ItemCount; ++i)
    {
        for (T3DSprite* sprite : {s.Items[i].NormalSprite.get(), s.Items[i].HighlightSprite.get()})
        {
            if (sprite != nullptr)
            {
                sprite->Keep(keep);
            }
        }
    }
}

void TD3DMenu::SwapItem(int hidden, int shown)
{
    TMenuScreen& s = Current();
    if (hidden >= 1 && hidden <= s.ItemCount)
    {
        s.Items[hidden].Visible = false;
    }
    if (shown >= 1 && shown <= s.ItemCount)
    {
        s.Items[shown].Visible = true;
        s.SelectedItem = shown;
        s.HoverItem = shown;
    }
}

void TD3DMenu::Draw(const TGraphics& g)
{
    TDevice& d = *g.Device;
    d.SetRenderState(rsAlphaBlendEnable, StateTrue);
    d.SetRenderState(rsLighting, StateFalse);
    // The items are pictures of words, drawn below their size in all but the largest windows.
    SampleMinifiedThroughMipmaps(d, true);
    TMenuScreen& s = Current();
    for (int i = 1; i <= s.ItemCount; ++i)
    {
        TMenuItem& item = s.Items[i];
        if (i != s.SelectedItem && item.Visible && item.NormalSprite)
        {
            item.NormalSprite->Draw(g);
        }
    }
    if (s.SelectedItem >= 1 && s.SelectedItem <= s.ItemCount)
    {
        TMenuItem& item = s.Items[s.SelectedItem];
        if (item.HighlightSprite)
        {
            (Pressed ? item.PressedTransform : item.NormalTransform).CopyTo(*item.HighlightSprite);
            if (item.Visible)
            {
                item.HighlightSprite->Draw(g);
            }
        }
    }
    d.SetTexture(0, nullptr);
    SampleMinifiedThroughMipmaps(d, false);
    d.SetRenderState(rsLighting, StateTrue);
    d.SetRenderState(rsAlphaBlendEnable, StateFalse);
}

void TD3DMenu::StepSelection(int step)
{
    TMenuScreen& s = Current();
    int i = s.SelectedItem;
    for (int tries = 0; tries < s.ItemCount; ++tries)
    {
        i += step;
        if (i < 1)
        {
            i = s.ItemCount;
        }
        else if (i > s.ItemCount)
        {
            i = 1;
        }
        if (s.Items[i].Usable())
        {
            s.SelectedItem = i;
            return;
        }
    }
}

TMenuKeyResult TD3DMenu::HandleKey(int key)
{
    if (!InputReady())
    {
        return {};
    }
    TMenuScreen& s = Current();
    switch (key)
    {
    case VkUp:
    case VkLeft:
        StepSelection(-1);
        Play(snMenuMove);
        return {CurrentScreen, maMoved, s.SelectedItem};
    case VkDown:
    case VkRight:
        StepSelection(+1);
        Play(snMenuMove);
        return {CurrentScreen, maMoved, s.SelectedItem};
    case VkEnter:
    case VkSpace:
        if (s.SelectedItem != 0)
        {
            Play(snMenuEnter);
        }
        return {CurrentScreen, maActivate, s.SelectedItem};
    case VkEscape:
        if (s.SelectedItem != 0)
        {
            Play(snMenuEsc);
        }
        return {CurrentScreen, maBack, s.SelectedItem};
    default: return {};
    }
}

void TD3DMenu::HandleMouseMove(float x, float y)
{
    if (!InputReady())
    {
        return;
    }
    TMenuScreen& s = Current();
    s.SelectedItem = 0;
    for (int i = 1; i <= s.ItemCount; ++i)
    {
        const TMenuItem& item = s.Items[i];
        if (i == s.SelectedItem || !item.Usable() || !item.Hit(x, y))
        {
            continue;
        }
        s.SelectedItem = i;
        if (i != s.HoverItem)
        {
            Play(snMenuMove);
            s.HoverItem = i;
        }
    }
    if (s.SelectedItem == 0)
    {
        Pressed = false;
    }
    s.HoverItem = s.SelectedItem;
}

bool TD3DMenu::InputReady() const
{
    return std::fabs(Now() - ShownAt) > 0.25;
}
