#include "front/Tutorial.h"

#include "base/DebugLog.h"
#include "base/LanguageFiles.h"

#include <exception>
#include <string>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

TTutorial::TTutorial(std::shared_ptr<TDevice> device, fs::path programFolder, fs::path cacheFolder)
    : Device(std::move(device)), ProgramFolder(std::move(programFolder)),
      CacheFolder(std::move(cacheFolder))
{
    ConvertPages();
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

fs::path TTutorial::ConvertedPage(const fs::path& jpeg) const
{
    fs::path bitmap = CacheFolder / jpeg.lexically_relative(ProgramFolder);
    return bitmap.replace_extension(".bmp");
}

fs::path TTutorial::PageFile(int n) const
{
    const fs::path shipped = ShippedTutorialPage(ProgramFolder, n);
    std::error_code ec;
    if (shipped.extension() == ".jpg" && fs::is_regular_file(ConvertedPage(shipped), ec))
    {
        return ConvertedPage(shipped);
    }
    return shipped;
}

void TTutorial::ConvertPages() const
{
    std::error_code ec;
    for (int n = 1; n <= TutorialPages; ++n)
    {
        const fs::path jpeg = ShippedTutorialPage(ProgramFolder, n);
        if (jpeg.extension() != ".jpg" || fs::is_regular_file(ConvertedPage(jpeg), ec))
        {
            continue;
        }
        // The program folder may be read-only: the JPEG is copied beside its bitmap in the
        // cache folder, converted there, and the copy removed.
        fs::path copy = ConvertedPage(jpeg);
        copy.replace_extension(".jpg");
        try
        {
            fs::create_directories(copy.parent_path());
            fs::copy_file(jpeg, copy, fs::copy_options::overwrite_existing);
            ConvertJpegToBmp(copy);
        }
        catch (const std::exception& e)
        {
            DebugLog(std::string(" tutorial page shown from its JPEG: ") + e.what());
        }
        fs::remove(copy, ec);
    }
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

void RemoveOldTutorialBitmaps(const fs::path& userFolder)
{
    const fs::path images = userFolder / "Images";
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
