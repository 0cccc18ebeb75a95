#include "app/Folders.h"

#include "base/AtomicFile.h"
#include "base/PlayerFile.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <atomic>
#include <csignal>
#include <unistd.h>
#include <system_error>

namespace fs = std::filesystem;

// The build configures the installed layout: TANDREL_PROGRAM_FROM_BIN, the program folder
// relative to the executable's folder, and TANDREL_PROGRAM_DIR, its absolute place;
// TANDREL_DOC_FROM_PROGRAM, the documentation folder relative to the program folder, and
// TANDREL_DOC_DIR, its absolute place.

std::vector<fs::path> ProgramFolderCandidates(const fs::path& executableFolder)
{
    std::vector<fs::path> candidates;
    for (const fs::path& p : {executableFolder, executableFolder / "../share/tandrel",
                              executableFolder / TANDREL_PROGRAM_FROM_BIN, fs::path(TANDREL_PROGRAM_DIR)})
    {
        const fs::path place = p.lexically_normal();
        if (std::find(candidates.begin(), candidates.end(), place) == candidates.end())
        {
            candidates.push_back(place);
        }
    }
    return candidates;
}

fs::path FindProgramFolder(const std::vector<fs::path>& candidates)
{
    std::error_code ec;
    for (const fs::path& place : candidates)
    {
        if (fs::is_directory(place / "data", ec))
        {
            return place;
        }
    }
    return {};
}

std::string ProgramFolderMissingText(const std::vector<fs::path>& candidates)
{
    std::string text = "The game's files (data/, Images/, Sounds/, Music/) were not found. Looked in:";
    for (const fs::path& place : candidates)
    {
        text += "\n  " + place.string();
    }
    return text;
}

fs::path ManualFile(const fs::path& programFolder, const std::string& language)
{
    std::error_code ec;
    for (const fs::path& folder : {programFolder / "../doc/tandrel", programFolder / TANDREL_DOC_FROM_PROGRAM,
                                   fs::path(TANDREL_DOC_DIR)})
    {
        for (const fs::path& page : {folder / language / "manual.html", folder / "manual.html"})
        {
            const fs::path manual = page.lexically_normal();
            if (fs::is_regular_file(manual, ec))
            {
                return manual;
            }
        }
    }
    return {};
}

fs::path ExecutableFolder()
{
    std::error_code ec;
    const auto exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}

fs::path ProgramFolder()
{
    return FindProgramFolder(ProgramFolderCandidates(ExecutableFolder()));
}

fs::path UserFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && *xdg == '/')
    {
        return fs::path(xdg) / "tandrel";
    }
    // Without a usable HOME the password database names the home folder, as for the
    // settings: never the working directory, which may be the program folder.
    return HomeFolder() / ".local/share/tandrel";
}

fs::path CacheFolder()
{
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && *xdg == '/')
    {
        return fs::path(xdg) / "tandrel";
    }
    return HomeFolder() / ".cache/tandrel";
}

bool LockUserFolder(const std::filesystem::path& userFolder)
{
    // The folder itself is locked, opened read-only: whatever lies in it (a lock file of an
    // earlier version that another user made, read-only to this one) cannot keep the lock
    // from being taken, and every copy locks the same thing.
    std::error_code ec;
    std::filesystem::create_directories(userFolder, ec);
    const int fd = ::open(userFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
    {
        return true; // a folder that cannot be opened cannot hold saves either: play on
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    {
        ::close(fd);
        return false;
    }
    // The descriptor stays open, and the lock held, until the process ends. The holder's
    // number goes beside it, for a second copy to find it (a file that cannot be written
    // only costs that).
    (void)WriteFileAtomically(userFolder / "tandrel.lock", std::to_string(::getpid()) + "\n");
    return true;
}

namespace
{
std::atomic<bool> ShowAsked{false};
}

bool AskRunningCopyToShow(const std::filesystem::path& userFolder)
{
    const TPlayerFile lock = ReadPlayerFile(userFolder / "tandrel.lock", 64);
    long pid = 0;
    if (lock.Status != TPlayerFile::TStatus::Read ||
        std::from_chars(lock.Bytes.data(), lock.Bytes.data() + lock.Bytes.size(), pid).ec != std::errc())
    {
        return false;
    }
    return pid > 1 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), SIGURG) == 0;
}

void ListenForShowRequests()
{
    struct sigaction action{};
    action.sa_handler = [](int) { ShowAsked.store(true); };
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGURG, &action, nullptr);
}

bool ShowRequested()
{
    return ShowAsked.exchange(false);
}
