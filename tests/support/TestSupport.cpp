#include "tests/support/TestSupport.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

TempFolder::TempFolder()
{
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        auto candidate = base / ("tandrel-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate))
        {
            Root = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(Root, ec);
}

std::filesystem::path TempFolder::Write(const std::string& relative, const std::string& text) const
{
    const auto file = Root / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << text;
    return file;
}

std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
    {
        lines.push_back(line);
    }
    return lines;
}

std::filesystem::path ShippedDataFolder()
{
    return std::filesystem::path(TANDREL_GAME_DIR) / "data";
}

TestGame::TestGame(const std::filesystem::path& dataFolder, const std::filesystem::path& userFolder,
                   uint32_t seed)
    : Rng(seed), Game(Host, Rng, dataFolder, userFolder)
{
}
