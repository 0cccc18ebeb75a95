// The player's manual in every language, the gettext way: the texts a reader
// reads in dist/manual.html.in (the contents of its headings, paragraphs, list
// items, table cells, captions and the title, and the pictures' alt texts) are
// the messages of the catalogues po/manual/<code>.po, and each language's
// manual is the template with its texts replaced. A text's message is its
// content with runs of white space made one space; inline markup
// (<b>, <kbd>, <a href="...">) stays in it for the translator to place.
#pragma once

#include "tools/content/Catalogue.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct TManualText
{
    int Line = 0;     // of the template, from 1
    std::string Text; // the message
};

// Every text of the page in order, duplicates included.
std::vector<TManualText> ManualTexts(std::string_view page);

// The template for the translators (po/manual/manual.pot): every text once,
// with the places it comes from in `sourceName`.
std::string ManualTemplate(std::string_view page, std::string_view sourceName);

struct TTranslatedManual
{
    std::string Page;
    int Untranslated = 0; // texts left in English: none in the catalogue, or marked fuzzy
};

// The page in the language `code` ("de", "pt_BR"; its lang attribute becomes "pt-BR") from the
// catalogue. A translation whose markup (tags, entities, @VARIABLES@) is not that of its
// English text throws TDataError naming the catalogue file and the text's line in the template.
TTranslatedManual TranslateManual(std::string_view page, const TCatalogue& words, std::string_view code,
                                  const std::filesystem::path& catalogueFile);
