#include "tools/manual/Manual.h"

#include "base/DataError.h"

#include <algorithm>
#include <array>
#include <map>
#include <regex>
#include <stdexcept>

namespace
{
// The elements whose content is a text a reader reads; none of them holds
// another.
constexpr std::array<std::string_view, 8> TextElements{"title", "h1", "h2", "p", "li", "th", "td", "figcaption"};

// A text of the page: the range of the page it occupies and its message.
struct TPiece
{
    size_t Begin = 0;
    size_t End = 0;
    int Line = 0;
    bool Attribute = false; // inside double quotes
    std::string Text;
};

bool Space(char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

std::string Collapse(std::string_view s)
{
    std::string out;
    bool gap = false;
    for (const char c : s)
    {
        if (Space(c))
        {
            gap = !out.empty();
            continue;
        }
        if (gap)
        {
            out += ' ';
            gap = false;
        }
        out += c;
    }
    return out;
}

std::string_view TagName(std::string_view page, size_t open)
{
    size_t end = open + 1;
    while (end < page.size() && !Space(page[end]) && page[end] != '>' && page[end] != '/')
    {
        ++end;
    }
    return page.substr(open + 1, end - open - 1);
}

std::vector<TPiece> Pieces(std::string_view page)
{
    std::vector<TPiece> pieces;
    int line = 1;
    size_t counted = 0;
    auto lineAt = [&](size_t at) {
        line += static_cast<int>(std::count(page.begin() + static_cast<std::ptrdiff_t>(counted),
                                            page.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        counted = at;
        return line;
    };
    auto add = [&](size_t begin, size_t end, bool attribute) {
        std::string text = Collapse(page.substr(begin, end - begin));
        if (!text.empty())
        {
            pieces.push_back({begin, end, lineAt(begin), attribute, std::move(text)});
        }
    };
    size_t at = 0;
    while ((at = page.find('<', at)) != std::string_view::npos)
    {
        if (page.substr(at, 4) == "<!--")
        {
            const size_t end = page.find("-->", at);
            at = end == std::string_view::npos ? page.size() : end + 3;
            continue;
        }
        const size_t close = page.find('>', at);
        if (close == std::string_view::npos)
        {
            throw std::runtime_error("line " + std::to_string(lineAt(at)) + ": a tag is not closed");
        }
        const std::string_view tag = page.substr(at, close - at);
        if (const size_t alt = tag.find(" alt=\""); alt != std::string_view::npos)
        {
            const size_t begin = at + alt + 6;
            add(begin, page.find('"', begin), true);
        }
        const std::string_view name = TagName(page, at);
        if (std::find(TextElements.begin(), TextElements.end(), name) == TextElements.end())
        {
            at = close + 1;
            continue;
        }
        const std::string end = "</" + std::string(name) + ">";
        const size_t endAt = page.find(end, close + 1);
        if (endAt == std::string_view::npos)
        {
            throw std::runtime_error("line " + std::to_string(lineAt(at)) + ": <" + std::string(name) +
                                     "> is not closed");
        }
        add(close + 1, endAt, false);
        at = endAt + end.size();
    }
    return pieces;
}

// The markup of a text, in order of its spelling: tags, entities and
// @VARIABLES@ of the build.
std::vector<std::string> Markup(std::string_view text)
{
    static const std::regex token("<[^>]*>?|&[^;& ]*;?|@[A-Z_]+@");
    std::vector<std::string> found;
    const std::string s(text);
    for (auto it = std::sregex_iterator(s.begin(), s.end(), token); it != std::sregex_iterator(); ++it)
    {
        found.push_back(it->str());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string Quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text)
    {
        if (c == '"' || c == '\\')
        {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}
} // namespace

std::vector<TManualText> ManualTexts(std::string_view page)
{
    std::vector<TManualText> texts;
    for (TPiece& piece : Pieces(page))
    {
        texts.push_back({piece.Line, std::move(piece.Text)});
    }
    return texts;
}

std::string ManualTemplate(std::string_view page, std::string_view sourceName)
{
    // Each text once, where it first comes, with every line it comes from.
    std::vector<std::string> order;
    std::map<std::string, std::string, std::less<>> places;
    for (const TManualText& text : ManualTexts(page))
    {
        auto [it, added] = places.try_emplace(text.Text, "#:");
        if (added)
        {
            order.push_back(text.Text);
        }
        it->second += " " + std::string(sourceName) + ":" + std::to_string(text.Line);
    }
    std::string out = "# The player's manual (" + std::string(sourceName) +
                      "), translated in po/manual/<code>.po.\n"
                      "# Keep each text's markup (<b>, <kbd>, <a href=\"...\">, "
                      "&amp;, @VARIABLES@); the build\n"
                      "# fails naming the text when a translation's markup "
                      "differs from the English.\n"
                      "#, fuzzy\n"
                      "msgid \"\"\n"
                      "msgstr \"\"\n"
                      "\"Project-Id-Version: tandrel\\n\"\n"
                      "\"Report-Msgid-Bugs-To: developers@tandrel.invalid\\n\"\n"
                      "\"Language: \\n\"\n"
                      "\"MIME-Version: 1.0\\n\"\n"
                      "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                      "\"Content-Transfer-Encoding: 8bit\\n\"\n";
    for (const std::string& text : order)
    {
        out += "\n" + places.find(text)->second + "\nmsgid " + Quoted(text) + "\nmsgstr \"\"\n";
    }
    return out;
}

TTranslatedManual TranslateManual(std::string_view page, const TCatalogue& words, std::string_view code,
                                  const std::filesystem::path& catalogueFile)
{
    TTranslatedManual result;
    result.Page = std::string(page);
    const std::vector<TPiece> pieces = Pieces(page);
    // From the end, so that the ranges before stay where they are.
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
    {
        const std::string* translation = words.Find(it->Text);
        if (translation == nullptr || translation->empty())
        {
            ++result.Untranslated;
            continue;
        }
        if (Markup(*translation) != Markup(it->Text) || (it->Attribute && translation->find('"') != std::string::npos))
        {
            throw TDataError(catalogueFile, 0,
                             "the translation of the manual's text of line " + std::to_string(it->Line) + " (\"" +
                                 it->Text.substr(0, 40) + "...\") does not keep its markup");
        }
        result.Page.replace(it->Begin, it->End - it->Begin, *translation);
    }
    const std::string english = "<html lang=\"en\">";
    const size_t html = result.Page.find(english);
    if (html == std::string::npos)
    {
        throw std::runtime_error("the manual has no " + english);
    }
    std::string tag(code);
    std::replace(tag.begin(), tag.end(), '_', '-');
    result.Page.replace(html, english.size(), "<html lang=\"" + tag + "\">");
    return result;
}
