// The tutorial: nine full-room pictures shown on the back wall, one at a time. The pages
// ship as JPEG files Images/Tutorial/tut1.jpg .. tut9.jpg in the program folder, in every
// language (lang/<code>/Images/Tutorial/..., base/LanguageFiles.h), and are drawn from them in
// the language shown (a bitmap tutN.bmp shipped beside the English one is used instead);
// nothing is kept in the player's folders, so no damaged copy there can cost anything.
#pragma once

#include "render/Graphics.h"
#include "render/Texture.h"

#include <filesystem>
#include <memory>

constexpr int TutorialPages = 9;

class TTutorial
{
public:
    // Create: makes the page sprite over the back plane of the room and shows page 1.
    TTutorial(std::shared_ptr<TDevice> device, std::filesystem::path programFolder);

    // -1 the previous page, +1 the next, clamped to 1..9; the page is loaded again every
    // time, also when it did not change.
    void ChangePage(int delta);
    // Draws the page, lit as the other full-screen pictures are.
    void Draw(const TGraphics& g);

    int Page() const { return PageNumber; }
    // The picture of page n: a shipped bitmap when there is one, else the JPEG.
    std::filesystem::path PageFile(int n) const;

    std::shared_ptr<TDevice> Device;
    std::unique_ptr<T3DSprite> PageSprite;

private:
    std::filesystem::path ProgramFolder;
    int PageNumber = 1;
};

// Page n as shipped: Images/Tutorial/tutN.bmp when the program folder has one, else the JPEG in
// the language shown (LocalFile).
std::filesystem::path ShippedTutorialPage(const std::filesystem::path& programFolder, int n);

// Earlier versions converted the pages into the user folder, then into the cache folder:
// removes those bitmaps (and a conversion's leftover JPEG copy) from the folder given, then
// the folders Images/Tutorial and Images if nothing else is in them. Nothing else of the
// folder is touched; what cannot be removed stays.
void RemoveOldTutorialBitmaps(const std::filesystem::path& folder);
