// The languages the generator makes the pictures and voice lines that carry words in: English
// into the program folder, each translation of po/LINGUAS into lang/<code>/ of it (see
// base/LanguageFiles.h), from the catalogue po/<code>.po. Texts that are drawn or spoken are
// marked N_("...") where they are written (po/update-pot extracts them) and translated with
// TSources::Tr where they are drawn.
#pragma once

#include "base/LanguageFiles.h"
#include "base/Text.h"
#include "tools/content/Catalogue.h"
#include "tools/content/Image.h"
#include "tools/content/Output.h"
#include "tools/content/Paint.h"
#include "tools/content/Sources.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct TTranslation
{
    std::string Code; // as in po/LINGUAS: "de", "pt_BR"
    std::shared_ptr<const TCatalogue> Words;
};

// The languages of `poFolder`/LINGUAS with their catalogues, or only those of `only` (which
// must be among them). Throws naming the file on an unreadable list or catalogue.
std::vector<TTranslation> ReadTranslations(const std::filesystem::path& poFolder,
                                           const std::vector<std::string>& only);

// The output of a language: the program folder for English, else its folder lang/<code>/.
TOutput LanguageOutput(const TOutput& out, const TSources& sources);

// Runs make(out, sources) for every translation, with the output and the sources of that
// language.
template <class F>
void ForEachTranslation(const TOutput& out, const TSources& sources, F make)
{
    for (const TTranslation& language : sources.Translations)
    {
        TSources in = sources;
        in.Language = &language;
        make(LanguageOutput(out, in), static_cast<const TSources&>(in));
    }
}

// The same for English first, into the program folder, then for every translation.
template <class F>
void ForEachLanguage(const TOutput& out, const TSources& sources, F make)
{
    make(out, sources);
    ForEachTranslation(out, sources, make);
}

// The picture `draw()` returns; a text that does not fit its box fails with the picture's
// file, the language and the text.
template <class F>
TImage Drawn(const std::string& file, const TSources& sources, F draw)
{
    try
    {
        return draw();
    }
    catch (const TClipped& e)
    {
        throw std::runtime_error(file + " in " + sources.LanguageName() + ": " + e.what());
    }
}
