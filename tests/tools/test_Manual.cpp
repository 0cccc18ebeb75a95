// The player's manual in every language: each shipped catalogue translates
// every text of the manual (a text changed in English and not yet in a
// catalogue shows here), and a catalogue that breaks a text's markup stops the
// build, naming itself and the text.
#include "tools/manual/Manual.h"

#include "base/DataError.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace
{
const std::filesystem::path Source = TANDREL_SOURCE_DIR;
} // namespace

TEST(Manual, EveryShippedLanguageTranslatesEveryTextOfTheManual)
{
    const std::string page = ReadFile(Source / "dist/manual.html.in");
    const std::vector<TManualText> english = ManualTexts(page);
    ASSERT_GT(english.size(), 100u);
    std::ifstream linguas(Source / "po/LINGUAS");
    std::string code;
    int languages = 0;
    while (linguas >> code)
    {
        const std::filesystem::path po = Source / "po/manual" / (code + ".po");
        const TTranslatedManual manual = TranslateManual(page, TCatalogue::Read(po), code, po);
        EXPECT_EQ(manual.Untranslated, 0) << po;
        EXPECT_EQ(ManualTexts(manual.Page).size(), english.size()) << po << ": the page keeps its structure";
        std::string tag = code;
        std::replace(tag.begin(), tag.end(), '_', '-');
        EXPECT_NE(manual.Page.find("<html lang=\"" + tag + "\">"), std::string::npos) << po;
        ++languages;
    }
    EXPECT_EQ(languages, 6);
}

TEST(Manual, ATextLeftOutStaysEnglishAndABrokenMarkupStopsWithTheCatalogueAndTheLine)
{
    TempFolder tmp;
    const std::string page = "<html lang=\"en\">\n<h1>The <b>game</b></h1>\n<p>Press\n  "
                             "<kbd>Enter</kbd>.</p>\n"
                             "<img src=\"a.png\" alt=\"A picture\">\n</html>\n";
    std::vector<std::string> ids;
    for (const TManualText& text : ManualTexts(page))
    {
        ids.push_back(text.Text);
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"The <b>game</b>", "Press <kbd>Enter</kbd>.", "A picture"}));
    EXPECT_NE(ManualTemplate(page, "dist/x.html.in").find("#: dist/x.html.in:3\nmsgid \"Press <kbd>Enter</kbd>.\""),
              std::string::npos);

    const auto po = tmp.Write("de.po", "msgid \"The <b>game</b>\"\nmsgstr \"Das <b>Spiel</b>\"\n\n"
                                       "#, fuzzy\nmsgid \"A picture\"\nmsgstr \"Ein Bild\"\n");
    const TTranslatedManual manual = TranslateManual(page, TCatalogue::Read(po), "de", po);
    EXPECT_EQ(manual.Untranslated, 2) << "the untranslated and the fuzzy text";
    EXPECT_EQ(manual.Page, "<html lang=\"de\">\n<h1>Das <b>Spiel</b></h1>\n<p>Press\n  "
                           "<kbd>Enter</kbd>.</p>\n"
                           "<img src=\"a.png\" alt=\"A picture\">\n</html>\n");

    const auto broken = tmp.Write("fr.po", "msgid \"Press <kbd>Enter</kbd>.\"\nmsgstr \"Appuyez "
                                           "sur <kbd>Entrée.\"\n");
    try
    {
        TranslateManual(page, TCatalogue::Read(broken), "fr", broken);
        ADD_FAILURE() << "a translation without its </kbd> was taken";
    }
    catch (const TDataError& e)
    {
        EXPECT_EQ(e.File, broken);
        EXPECT_NE(e.Problem.find("line 3"), std::string::npos) << e.what();
    }
}
