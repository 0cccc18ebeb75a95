// The tutorial: nine full-room pictures shown on the back wall, one at a time. The pages
// ship as JPEG files Images/Tutorial/tut1.jpg .. tut9.jpg in the program folder, in every
// language (lang/<code>/Images/Tutorial/..., base/LanguageFiles.h); the first time the
// tutorial opens the pages of the language shown are converted once into bitmaps at the same
// place in the cache folder (Images/Tutorial/tutN.bmp, lang/de/Images/Tutorial/tutN.bmp),
// which later visits load. A page that cannot be converted is shown from its JPEG instead.
// Bitmaps shipped in the program folder are used as they are.
#pragma once

#include "render/Graphics.h"
#include "render/Texture.h"

#include <filesystem>
#include <memory>

constexpr int TutorialPages = 9;

class TTutorial
{
public:
    // Create: converts the missing bitmaps, makes the page sprite over the back plane of the
    // room and shows page 1.
    TTutorial(std::shared_ptr<TDevice> device, std::filesystem::path programFolder,
              std::filesystem::path cacheFolder);

    // -1 the previous page, +1 the next, clamped to 1..9; the page is loaded again every
    // time, also when it did not change.
    void ChangePage(int delta);
    // Draws the page, lit as the other full-screen pictures are.
    void Draw(const TGraphics& g);

    int Page() const { return PageNumber; }
    // The picture of page n: a bitmap when there is one, else the JPEG.
    std::filesystem::path PageFile(int n) const;

    std::shared_ptr<TDevice> Device;
    std::unique_ptr<T3DSprite> PageSprite;

private:
    // The cache folder's bitmap of a shipped JPEG page.
    std::filesystem::path ConvertedPage(const std::filesystem::path& jpeg) const;
    void ConvertPages() const;

    std::filesystem::path ProgramFolder;
    std::filesystem::path CacheFolder;
    int PageNumber = 1;
};

// Page n as shipped: Images/Tutorial/tutN.bmp when the program folder has one, else the JPEG in
// the language shown (LocalFile).
std::filesystem::path ShippedTutorialPage(const std::filesystem::path& programFolder, int n);

// Earlier versions converted the pages into the user folder: removes those bitmaps (and a
// conversion's leftover JPEG copy), then the folders Images/Tutorial and Images if nothing
// else is in them. Nothing else of the user folder is touched; what cannot be removed stays.
void RemoveOldTutorialBitmaps(const std::filesystem::path& userFolder);
