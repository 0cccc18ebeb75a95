#include "fuzz/FuzzFiles.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

const std::filesystem::path& ScratchFolder()
{
    static const std::filesystem::path folder = []
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tandrel-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
        {
            std::perror("tandrel fuzz: no scratch folder");
            std::abort();
        }
        return std::filesystem::path(pattern);
    }();
    return folder;
}

std::filesystem::path ShippedFolder()
{
    return TANDREL_SHIPPED_DIR;
}

void WriteBytes(const std::filesystem::path& file, const uint8_t* data, size_t size)
{
    std::filesystem::create_directories(file.parent_path());
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
    {
        std::perror(file.c_str());
        std::abort();
    }
}

void WriteBytes(const std::filesystem::path& file, std::string_view text)
{
    WriteBytes(file, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}
