#include "base/AtomicFile.h"

#include "base/Text.h"

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
            return Formatted(_("the folder cannot be made (%s)"), ec.message());
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
        return errno == EEXIST ? Formatted(_("cannot be written ('%s' is in the way)"), temporary.filename().string())
                               : Formatted(_("cannot be written (%s)"), ErrnoText());
    }
    std::string problem;
    if (!WriteAll(fd, bytes))
    {
        problem = Formatted(_("cannot be written (%s)"), ErrnoText());
    }
    else if (::fsync(fd) != 0)
    {
        problem = Formatted(_("cannot be written to the disk (%s)"), ErrnoText());
    }
    if (::close(fd) != 0 && problem.empty())
    {
        problem = Formatted(_("cannot be written (%s)"), ErrnoText());
    }
    if (problem.empty() && ::rename(temporary.c_str(), file.c_str()) != 0)
    {
        problem = Formatted(_("cannot be replaced (%s)"), ErrnoText());
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

TBackgroundWriter::TBackgroundWriter() : Worker([this] { Run(); })
{
}

TBackgroundWriter::~TBackgroundWriter()
{
    {
        const std::lock_guard<std::mutex> hold(Lock);
        Stopping = true;
    }
    Changed.notify_all();
    Worker.join();
}

void TBackgroundWriter::Write(const std::filesystem::path& file, std::string bytes)
{
    {
        const std::lock_guard<std::mutex> hold(Lock);
        // Only the last waiting job can be this file's write: anything asked after it is
        // kept in its order.
        if (!Jobs.empty() && Jobs.back().File == file && !Jobs.back().Remove)
        {
            Jobs.back().Bytes = std::move(bytes);
        }
        else
        {
            Jobs.push_back({file, std::move(bytes), false});
        }
    }
    Changed.notify_all();
}

void TBackgroundWriter::Remove(const std::filesystem::path& file)
{
    {
        const std::lock_guard<std::mutex> hold(Lock);
        Jobs.push_back({file, {}, true});
    }
    Changed.notify_all();
}

void TBackgroundWriter::Finish()
{
    std::unique_lock<std::mutex> hold(Lock);
    Changed.wait(hold, [this] { return Jobs.empty() && !Busy; });
}

bool TBackgroundWriter::Idle() const
{
    const std::lock_guard<std::mutex> hold(Lock);
    return Jobs.empty() && !Busy;
}

std::string TBackgroundWriter::Problem(const std::filesystem::path& file) const
{
    const std::lock_guard<std::mutex> hold(Lock);
    const auto found = Problems.find(file);
    return found == Problems.end() ? std::string() : found->second;
}

void TBackgroundWriter::Run()
{
    std::unique_lock<std::mutex> hold(Lock);
    for (;;)
    {
        Changed.wait(hold, [this] { return !Jobs.empty() || Stopping; });
        if (Jobs.empty())
        {
            return; // stopping, with nothing left to do
        }
        const TJob job = std::move(Jobs.front());
        Jobs.pop_front();
        Busy = true;
        hold.unlock();
        std::string problem;
        if (job.Remove)
        {
            std::error_code ec;
            std::filesystem::remove(job.File, ec);
            problem = ec ? "cannot be removed (" + ec.message() + ")" : "";
        }
        else
        {
            problem = WriteFileAtomically(job.File, job.Bytes);
        }
        hold.lock();
        Problems[job.File] = problem;
        Busy = false;
        Changed.notify_all();
    }
}
