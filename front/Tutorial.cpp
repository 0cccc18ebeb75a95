#include "front/Tutorial.h"

#include "base/DebugLog.h"
#include "base/LanguageFiles.h"

#include <string>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

TTutorial::TTutorial(std::shared_ptr<TDevice> device, fs::path programFolder)
    : Device(std::move(device)), ProgramFolder(std::move(programFolder))
{
    PageSprite = std::make_unique<T3DSprite>(Device, PageFile(1), true);
    PageSprite->Scale = {14.45f, 10.8375f, 1.0f};
    PageSprite->Position = {RoomCentreX, RoomCentreY, 0};
    PageSprite->Rotation = {0, 0, 0};
    PageNumber = 1;
}

fs::path ShippedTutorialPage(const fs::path& programFolder, int n)
{
    const fs::path page = fs::path("Images") / "Tutorial" / ("tut" + std::to_string(n));
    std::error_code ec;
    fs::path bitmap = programFolder / page;
    bitmap += ".bmp";
    if (fs::is_regular_file(bitmap, ec))
    {
        return bitmap;
    }
    fs::path jpeg = page;
    jpeg += ".jpg";
    return LocalFile(programFolder, jpeg);
}

fs::path TTutorial::PageFile(int n) const
{
    return ShippedTutorialPage(ProgramFolder, n);
}

void TTutorial::ChangePage(int delta)
{
    if (delta < 0 && PageNumber != 1)
    {
        --PageNumber;
    }
    if (delta >= 1 && PageNumber != TutorialPages)
    {
        ++PageNumber;
    }
    DebugLog(" loading " + std::to_string(PageNumber));
    LoadMipmappedTexture(*Device, PageFile(PageNumber), PageSprite->Texture);
    DebugLog(" loaded" + std::to_string(PageNumber));
}

void TTutorial::Draw(const TGraphics& g)
{
    // Lit with the plain material, as the menu background, the help and the game-over
    // pictures are: the page looks like the rest of the room and the cursor light plays on it.
    Device->SetMaterial(g.Materials[0]);
    SampleMinifiedThroughMipmaps(*Device, true);
    PageSprite->Draw(g);
    SampleMinifiedThroughMipmaps(*Device, false);
}

void RemoveOldTutorialBitmaps(const fs::path& folder)
{
    const fs::path images = folder / "Images";
    const fs::path pages = images / "Tutorial";
    std::error_code ec;
    if (!fs::is_directory(pages, ec))
    {
        return;
    }
    for (int n = 1; n <= TutorialPages; ++n)
    {
        for (const char* extension : {".bmp", ".jpg"})
        {
            fs::remove(pages / ("tut" + std::to_string(n) + extension), ec);
        }
    }
    // remove() leaves a folder that still holds something.
    fs::remove(pages, ec);
    fs::remove(images, ec);
}
