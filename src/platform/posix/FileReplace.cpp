#include "platform/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int LinksFollowed = 40; // as many as the system follows in a path

} // namespace

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool ReplaceFileWith(const char* from, const char* to) { return std::rename(from, to) == 0; }

std::string FileBehindLinks(const char* path)
{
    std::filesystem::path file = path;
    std::error_code error;
    for (int link = 0; link < LinksFollowed && std::filesystem::is_symlink(file, error); ++link) {
        const std::filesystem::path target = std::filesystem::read_symlink(file, error);
        if (error) break;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file.string();
}

bool TakeModeOf(const char* original, const char* made)
{
    struct stat kept {};
    if (stat(original, &kept) != 0) return errno == ENOENT;
    if (chown(made, kept.st_uid, kept.st_gid) != 0 && chown(made, static_cast<uid_t>(-1), kept.st_gid) != 0) {
        // Only root gives a file away, and only to a group of its owner's:
        // the new file stays this user's.
    }
    // After the owner: a change of owner clears the set-user-id bits.
    return chmod(made, kept.st_mode & 07777) == 0;
}
