// Writing a player's file so that it is always either the old one or the new one: the
// bytes go to a temporary file beside it ("<name>.tandrel-partial"), are synced to the
// disk, and the temporary file is renamed over the old one (the folder synced after). A
// crash, a kill or a power loss at any moment leaves the complete old file or the complete
// new one.
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// The temporary file a write of `file` goes through.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& file);

// Writes bytes as above, making the folder when it is missing. Returns an empty text, or
// what went wrong (the old file is then untouched and no temporary file is left).
std::string WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// A write killed half-way leaves its temporary file: removes the one of `file`, if any.
void RemoveStaleTemporaryFile(const std::filesystem::path& file);

// Writes and removes files as above on a thread of its own, so that the caller never
// waits for the disk: the jobs run one after the other in the order they were asked, and
// a write still waiting is replaced by a newer write of the same file. The destructor
// finishes every job asked before it.
class TBackgroundWriter
{
public:
    TBackgroundWriter();
    ~TBackgroundWriter();
    TBackgroundWriter(const TBackgroundWriter&) = delete;
    TBackgroundWriter& operator=(const TBackgroundWriter&) = delete;

    void Write(const std::filesystem::path& file, std::string bytes);
    // Removes the file (a missing file is no error).
    void Remove(const std::filesystem::path& file);
    // Waits until every job asked so far is done.
    void Finish();
    // True while no job waits or runs.
    bool Idle() const;
    // What went wrong with the last job of the file that has run; empty when it went well
    // or none has run.
    std::string Problem(const std::filesystem::path& file) const;

private:
    struct TJob
    {
        std::filesystem::path File;
        std::string Bytes;
        bool Remove = false;
    };
    void Run();

    mutable std::mutex Lock;
    std::condition_variable Changed;
    std::deque<TJob> Jobs;
    bool Busy = false;
    bool Stopping = false;
    std::map<std::filesystem::path, std::string> Problems;
    std::thread Worker; // last: it starts once everything above is made
};
