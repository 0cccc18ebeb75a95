#include "base/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace
{
std::string ErrnoText()
{
    return std::error_code(errno, std::generic_category()).message();
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0)
        {
            if (errno == EINTR)
            {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
    {
        ::fsync(fd); // where a file system cannot sync a folder, the rename stands as it is
        ::close(fd);
    }
}
} // namespace

std::filesystem::path TemporaryFileFor(const std::filesystem::path& file)
{
    // A name of the game's own, that no player gives a file: removing a stale one never
    // touches the player's copies beside it.
    std::filesystem::path temporary = file;
    temporary += ".tandrel-partial";
    return temporary;
}

std::string WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes)
{
    std::error_code ec;
    const std::filesystem::path folder = file.parent_path();
    if (!folder.empty())
    {
        std::filesystem::create_directories(folder, ec);
        if (ec)
        {
            return "the folder cannot be made (" + ec.message() + ")";
        }
    }
    const std::filesystem::path temporary = TemporaryFileFor(file);
    // Whatever a killed write or anyone else left under the temporary name goes first (a
    // folder stays, and the write fails); O_NONBLOCK, so that nothing put there in between
    // can hold the game.
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        return errno == EEXIST ? "cannot be written ('" + temporary.filename().string() + "' is in the way)"
                               : "cannot be written (" + ErrnoText() + ")";
    }
    std::string problem;
    if (!WriteAll(fd, bytes))
    {
        problem = "cannot be written (" + ErrnoText() + ")";
    }
    else if (::fsync(fd) != 0)
    {
        problem = "cannot be written to the disk (" + ErrnoText() + ")";
    }
    if (::close(fd) != 0 && problem.empty())
    {
        problem = "cannot be written (" + ErrnoText() + ")";
    }
    if (problem.empty() && ::rename(temporary.c_str(), file.c_str()) != 0)
    {
        problem = "cannot be replaced (" + ErrnoText() + ")";
    }
    if (!problem.empty())
    {
        ::unlink(temporary.c_str());
        return problem;
    }
    SyncFolder(folder);
    return {};
}

void RemoveStaleTemporaryFile(const std::filesystem::path& file)
{
    const std::filesystem::path temporary = TemporaryFileFor(file);
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(temporary, ec)))
    {
        std::filesystem::remove(temporary, ec);
    }
}
