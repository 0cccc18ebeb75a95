// The player's language: chosen from the environment as gettext does, or from the settings;
// a text missing from a catalogue, or a catalogue that cannot be read, shows in English.
#include "base/Options.h"
#include "base/Text.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace
{
// The environment and locale of the test process, put back afterwards.
class TLanguageEnvironment
{
public:
    TLanguageEnvironment()
    {
        for (const char* name : Names)
        {
            ::unsetenv(name);
        }
    }
    ~TLanguageEnvironment()
    {
        for (const char* name : Names)
        {
            ::unsetenv(name);
        }
        std::setlocale(LC_ALL, "C");
        textdomain(TextDomain);
    }

private:
    static constexpr const char* Names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
};

// A catalogue compiled with msgfmt, as the build does.
void Compile(const TempFolder& tmp, const std::string& code, const std::string& entries)
{
    const auto po = tmp.Write(code + ".po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n" + entries);
    const auto mo = tmp.Path() / "locale" / code / "LC_MESSAGES" / "tandrel.mo";
    std::filesystem::create_directories(mo.parent_path());
    ASSERT_EQ(std::system(("msgfmt --check -o '" + mo.string() + "' '" + po.string() + "'").c_str()), 0);
}
} // namespace

TEST(Language, FollowsTheEnvironmentAsGettextDoesAndFallsBackToEnglish)
{
    TLanguageEnvironment environment;
    TempFolder tmp;
    Compile(tmp, "de", "msgid \"Full screen\"\nmsgstr \"Vollbild\"\n");
    Compile(tmp, "pt_BR", "msgid \"Full screen\"\nmsgstr \"Tela cheia\"\n");
    const auto locale = tmp.Path() / "locale";
    EXPECT_EQ(AvailableLanguages(locale), (std::vector<std::string>{"en", "de", "pt_BR"}));

    EXPECT_EQ(SystemLanguage(locale), "");
    ::setenv("LANG", "de_AT.UTF-8", 1); // the language without its territory
    EXPECT_EQ(SystemLanguage(locale), "de");
    ::setenv("LC_ALL", "pt_BR.UTF-8@euro", 1); // LC_ALL before LANG
    EXPECT_EQ(SystemLanguage(locale), "pt_BR");
    ::setenv("LANGUAGE", "sv:fr:de", 1); // the first preference with a catalogue
    EXPECT_EQ(SystemLanguage(locale), "de");
    ::setenv("LANGUAGE", "C:de", 1);
    EXPECT_EQ(SystemLanguage(locale), "");
    ::setenv("LANGUAGE", "pt", 1); // Portugal's Portuguese is not Brazil's
    EXPECT_EQ(SystemLanguage(locale), "");

    // LANGUAGE alone, with no locale at all: the texts follow it, string by string.
    ::unsetenv("LC_ALL");
    ::unsetenv("LANG");
    ::setenv("LANGUAGE", "de", 1);
    StartLanguage(locale);
    EXPECT_EQ(CurrentLanguage(), "de");
    EXPECT_STREQ(_("Full screen"), "Vollbild");
    EXPECT_STREQ(_("Windowed"), "Windowed"); // not in the catalogue
    EXPECT_EQ(LanguageLogLine(), "Language: Deutsch");
    // The settings' choice wins over the environment; English is one of the choices.
    StartLanguage(locale, "pt_BR");
    EXPECT_STREQ(_("Full screen"), "Tela cheia");
    StartLanguage(locale, "en");
    EXPECT_EQ(CurrentLanguage(), "");
    EXPECT_STREQ(_("Full screen"), "Full screen");

    // A damaged catalogue: English, and the log says why.
    tmp.Write("locale/fr/LC_MESSAGES/tandrel.mo", "not a catalogue");
    StartLanguage(locale, "fr");
    EXPECT_EQ(CurrentLanguage(), "");
    EXPECT_STREQ(_("Full screen"), "Full screen");
    EXPECT_NE(LanguageLogLine().find("fr/LC_MESSAGES/tandrel.mo' cannot be read"), std::string::npos)
        << LanguageLogLine();
}

TEST(Language, FormattedPutsValuesWhereTheTranslationWantsThem)
{
    EXPECT_EQ(Formatted("score: %s", "120"), "score: 120");
    EXPECT_EQ(Formatted("%2$s, %1$s: 100%%", {"a", "b"}), "b, a: 100%");
    EXPECT_EQ(Formatted("%d of %d", {"3"}), "3 of ");
}

TEST(Language, TheSettingsKeepTheChoiceAndRefuseAnythingButACode)
{
    TempFolder tmp;
    const auto file = tmp.Write("settings.ini", "[Tandrel]\nLanguage=pt_BR\n");
    {
        TOptions options(file);
        options.ShowMessage = [](const std::string&) {};
        options.Load();
        EXPECT_EQ(options.Language, "pt_BR");
        options.Language = "";
        ASSERT_TRUE(options.Save());
    }
    EXPECT_EQ(ReadFile(file).find("Language"), std::string::npos);
    tmp.Write("settings.ini", "[Tandrel]\nLanguage=../../etc\n");
    TOptions options(file);
    options.ShowMessage = [](const std::string&) {};
    options.Load();
    EXPECT_EQ(options.Language, "");
}
