#ifndef _WIN32

#include "platform/GameProcess.h"

#include <cctype>
#include <cerrno>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gameprocess {
namespace {

// Longest first argument read; a game path is far shorter.
constexpr std::size_t kMaxArgumentSize = 32 * 1024;

class ProcFolder {
public:
    ProcFolder()
        : m_dir(opendir("/proc")) {}
    ~ProcFolder() {
        if (m_dir)
            closedir(m_dir);
    }
    ProcFolder(const ProcFolder&) = delete;
    ProcFolder& operator=(const ProcFolder&) = delete;
    DIR* get() const { return m_dir; }

private:
    DIR* m_dir;
};

bool isProcessId(const char* name) {
    for (const char* c = name; *c; ++c)
        if (!std::isdigit(static_cast<unsigned char>(*c)))
            return false;
    return *name != '\0';
}

// The start of /proc/<pid>/<file>, up to the first `stop` character or `limit` bytes;
// empty when it cannot be read (the process may have ended meanwhile).
std::string readUpTo(int procFd, const std::string& pid, const char* file, char stop, std::size_t limit) {
    const int fd = openat(procFd, (pid + '/' + file).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    char chunk[512];
    while (text.size() < limit) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(chunk, static_cast<std::size_t>(got));
        if (text.find(stop) != std::string::npos)
            break;
    }
    close(fd);
    const std::size_t end = text.find(stop);
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

// A zombie still bears its name; its state, the letter after the name in /proc/<pid>/stat,
// tells it apart.
bool hasEnded(int procFd, const std::string& pid) {
    const std::string stat = readUpTo(procFd, pid, "stat", '\n', 1024);
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos || nameEnd + 2 >= stat.size())
        return false;
    const char state = stat[nameEnd + 2];
    return state == 'Z' || state == 'X';
}

} // namespace

bool isGameRunning() {
    // Wine and Proton run the game as a Linux process that bears the executable's name,
    // and whose first argument is its Windows path.
    ProcFolder proc;
    if (!proc.get())
        return false;
    const int procFd = dirfd(proc.get());
    const uid_t user = getuid();
    while (const dirent* entry = readdir(proc.get())) {
        if (!isProcessId(entry->d_name))
            continue;
        struct stat info {};
        if (fstatat(procFd, entry->d_name, &info, 0) != 0 || info.st_uid != user)
            continue;
        const std::string pid = entry->d_name;
        if ((namesGameExecutable(readUpTo(procFd, pid, "comm", '\n', 64)) ||
             namesGameExecutable(readUpTo(procFd, pid, "cmdline", '\0', kMaxArgumentSize))) &&
            !hasEnded(procFd, pid))
            return true;
    }
    return false;
}

} // namespace gameprocess

#endif
