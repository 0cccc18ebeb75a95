// The architecture page and the folder notes stay true: every file, folder and symbol they
// name in backticks exists, and every include of the game's own sources names its folder and
// follows the page's table of what each folder may include.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const fs::path Root = TANDREL_SOURCE_DIR;

// Folders of the source tree; a backticked path that starts with one of them names a file or
// folder of the repository (the program folder's `data/...` and the like are run-time paths).
const std::set<std::string> TreeFolders = {"app", "base", "bench", "content", "dist", "front", "fuzz",
                                           "game", "render", "sound", "tests", "tools", "po"};
// The folders of the program itself, whose includes the page's table rules.
const std::vector<std::string> LayeredFolders = {"base", "game", "sound", "render", "front", "app"};

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsSource(const fs::path& p)
{
    const std::string ext = p.extension().string();
    return ext == ".h" || ext == ".cpp";
}

// Every word of the sources, scripts and build files: what a symbol named by the page must be.
std::set<std::string> SourceWords()
{
    std::set<std::string> words;
    const std::regex word("[A-Za-z_][A-Za-z0-9_]*");
    for (const std::string& folder : TreeFolders)
    {
        if (!fs::is_directory(Root / folder))
        {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(Root / folder))
        {
            const fs::path& p = entry.path();
            if (!entry.is_regular_file() || (!IsSource(p) && p.filename() != "CMakeLists.txt" &&
                                             p.extension() != ".sh" && p.extension() != ""))
            {
                continue;
            }
            const std::string text = ReadText(p);
            for (auto it = std::sregex_iterator(text.begin(), text.end(), word); it != std::sregex_iterator();
                 ++it)
            {
                words.insert(it->str());
            }
        }
    }
    return words;
}

struct TNamed
{
    std::string Page;
    int Line = 0;
    std::string Text;
};

std::vector<TNamed> BacktickedNames(const fs::path& page)
{
    std::vector<TNamed> names;
    std::istringstream in(ReadText(page));
    std::string line;
    int number = 0;
    bool fenced = false;
    while (std::getline(in, line))
    {
        ++number;
        if (line.rfind("```", 0) == 0)
        {
            fenced = !fenced;
        }
        if (fenced)
        {
            continue;
        }
        for (std::size_t open = line.find('`'); open != std::string::npos; open = line.find('`', open + 1))
        {
            const std::size_t close = line.find('`', open + 1);
            if (close == std::string::npos)
            {
                break;
            }
            names.push_back({fs::relative(page, Root).string(), number, line.substr(open + 1, close - open - 1)});
            open = close;
        }
    }
    return names;
}

std::vector<fs::path> Pages()
{
    std::vector<fs::path> pages = {Root / "ARCHITECTURE.md"};
    for (const char* tool : {"content", "pages", "sim"})
    {
        pages.push_back(Root / "tools" / tool / "README.md");
    }
    for (const std::string& folder : TreeFolders)
    {
        // bench/README.md is a journal of measurements, not a description of the code.
        if (folder != "bench" && fs::exists(Root / folder / "README.md"))
        {
            pages.push_back(Root / folder / "README.md");
        }
    }
    return pages;
}

// What the page's table says each folder may include: the folders named in its last column
// ("everything" for all of them, "std" or "the standard library" for none).
std::map<std::string, std::set<std::string>> IncludeTable()
{
    std::map<std::string, std::set<std::string>> table;
    std::istringstream in(ReadText(Root / "ARCHITECTURE.md"));
    std::string line;
    const std::regex row(R"(^\| `([a-z]+)/` \|.*\| ([^|]*) \|\s*$)");
    const std::regex folder("`?([a-z]+)/`?");
    while (std::getline(in, line))
    {
        std::smatch m;
        if (!std::regex_match(line, m, row) ||
            std::find(LayeredFolders.begin(), LayeredFolders.end(), m[1].str()) == LayeredFolders.end())
        {
            continue;
        }
        std::set<std::string>& allowed = table[m[1]];
        allowed.insert(m[1]);
        const std::string rule = m[2];
        if (rule.find("everything") != std::string::npos)
        {
            allowed.insert(LayeredFolders.begin(), LayeredFolders.end());
            continue;
        }
        for (auto it = std::sregex_iterator(rule.begin(), rule.end(), folder); it != std::sregex_iterator(); ++it)
        {
            allowed.insert((*it)[1]);
        }
    }
    return table;
}
} // namespace

TEST(ArchitecturePage, EveryFileFolderAndSymbolItNamesExists)
{
    const std::set<std::string> words = SourceWords();
    const std::regex symbol(R"(^~?[A-Za-z_][A-Za-z0-9_]*(::~?[A-Za-z_][A-Za-z0-9_]*)*(\(\))?$)");
    // A source file named without its folder: it must be somewhere in the tree.
    const std::regex sourceFile(R"(^[A-Za-z0-9_]+\.(cpp|h)$)");
    std::set<std::string> files;
    for (const std::string& folder : TreeFolders)
    {
        if (fs::is_directory(Root / folder))
        {
            for (const auto& entry : fs::recursive_directory_iterator(Root / folder))
            {
                files.insert(entry.path().filename().string());
            }
        }
    }
    int checked = 0;
    for (const fs::path& page : Pages())
    {
        for (const TNamed& n : BacktickedNames(page))
        {
            const std::string where = n.Page + ":" + std::to_string(n.Line) + ": `" + n.Text + "`";
            const std::size_t slash = n.Text.find('/');
            if (slash != std::string::npos && n.Text.find(' ') == std::string::npos &&
                TreeFolders.count(n.Text.substr(0, slash)) != 0)
            {
                ++checked;
                EXPECT_TRUE(fs::exists(Root / n.Text)) << where << " names no file or folder";
            }
            else if (std::regex_match(n.Text, sourceFile))
            {
                ++checked;
                EXPECT_TRUE(files.count(n.Text) != 0) << where << " names no file of the tree";
            }
            else if (std::regex_match(n.Text, symbol) && n.Text.find('_') != 0)
            {
                ++checked;
                std::string name = n.Text.substr(0, n.Text.find('('));
                for (std::size_t start = 0; start < name.size();)
                {
                    const std::size_t end = name.find("::", start);
                    std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
                    if (!part.empty() && part[0] == '~')
                    {
                        part.erase(0, 1);
                    }
                    EXPECT_TRUE(words.count(part) != 0) << where << ": no source names " << part;
                    start = end == std::string::npos ? name.size() : end + 2;
                }
            }
        }
    }
    EXPECT_GT(checked, 50) << "the page names too little to be checked";
}

TEST(ArchitecturePage, IncludesNameTheirFolderAndFollowTheTable)
{
    const auto table = IncludeTable();
    ASSERT_EQ(table.size(), LayeredFolders.size()) << "the page's include table lacks a folder";
    const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    const std::regex platform(R"(^(SDL|GL/|epoxy/|gtk/|gdk/|glib|X11/|EGL/|wayland))");
    for (const auto& [folder, allowed] : table)
    {
        for (const auto& entry : fs::recursive_directory_iterator(Root / folder))
        {
            if (!entry.is_regular_file() || !IsSource(entry.path()))
            {
                continue;
            }
            std::istringstream in(ReadText(entry.path()));
            std::string line;
            int number = 0;
            while (std::getline(in, line))
            {
                ++number;
                std::smatch m;
                if (!std::regex_search(line, m, include))
                {
                    continue;
                }
                const std::string where =
                    fs::relative(entry.path(), Root).string() + ":" + std::to_string(number) + ": " + m[2].str();
                const std::string target = m[2];
                if (m[1] == "<")
                {
                    // The rules run headless: no window, graphics, toolkit or mixer header.
                    if (folder == "game")
                    {
                        EXPECT_FALSE(std::regex_search(target, platform)) << where << " in the rules";
                    }
                    continue;
                }
                const std::size_t slash = target.find('/');
                ASSERT_NE(slash, std::string::npos) << where << " names no folder";
                EXPECT_TRUE(allowed.count(target.substr(0, slash)) != 0)
                    << where << ": " << folder << "/ may not include " << target.substr(0, slash) << "/";
            }
        }
    }
}
