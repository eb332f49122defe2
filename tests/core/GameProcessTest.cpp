// Finding the game among the running processes, with real processes named like it.
#include "platform/GameProcess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
extern char** environ;
#endif

namespace fs = std::filesystem;

namespace {

// A copy of a harmless waiting program, started under a name of the test's choosing and
// stopped with the object.
class RunningCopy {
public:
#ifdef _WIN32
    RunningCopy(const fs::path& program, const fs::path& copy, const std::string&) {
        fs::copy_file(program, copy);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring command = L"\"" + copy.wstring() + L"\"";
        // No console: under Wine a console of its own is a conhost process that can
        // outlive the copy and keep the test's output open, so ctest waits on it.
        m_started = CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                                   nullptr, nullptr, &startup, &m_process);
    }
    // Ends the copy; the handle held here keeps its process in the system's list.
    void end() {
        TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, 10000);
    }
    void stop() {
        if (!std::exchange(m_started, false))
            return;
        TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, 10000);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }
#else
    // `argv0` is the first argument the process shows, as Wine shows a Windows path.
    RunningCopy(const fs::path& program, const fs::path& copy, std::string argv0) {
        fs::copy_file(program, copy);
        std::string seconds = "120";
        char* argv[] = {argv0.data(), seconds.data(), nullptr};
        m_started = posix_spawn(&m_pid, copy.c_str(), nullptr, nullptr, argv, environ) == 0;
        // posix_spawn returns once the child has let go of this process's memory, a moment
        // before the new program's arguments are in place: wait for them.
        const std::string cmdline = "/proc/" + std::to_string(m_pid) + "/cmdline";
        for (int wait = 0; m_started && wait < 5000; ++wait) {
            std::ifstream file(cmdline);
            std::string first;
            if (std::getline(file, first, '\0') && first == argv0)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // Ends the copy but does not collect it: a zombie until stop().
    void end() {
        kill(m_pid, SIGKILL);
        siginfo_t info{};
        waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOWAIT);
    }
    void stop() {
        if (!std::exchange(m_started, false))
            return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
#endif
    ~RunningCopy() {
        stop();
    }
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;
    bool started() const {
        return m_started;
    }

private:
    bool m_started = false;
#ifdef _WIN32
    PROCESS_INFORMATION m_process{};
#else
    pid_t m_pid = -1;
#endif
};

// The waiting program: the test helper built beside this test program on Windows, the
// system's sleep elsewhere.
fs::path waitingProgram() {
#ifdef _WIN32
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / "ut3_stub.exe";
#else
    return "/bin/sleep";
#endif
}

TEST(GameProcess, NamesTheGameByTheLastPartOfAPathInAnyCase) {
    const struct {
        const char* name;
        bool game;
    } cases[] = {
        {"UT3.exe", true},
        {"ut3.EXE", true},
        {"/home/player/.wine/drive_c/Games/UT3/Binaries/UT3.exe", true},
        {"C:\\Program Files (x86)\\Unreal Tournament 3\\Binaries\\UT3.exe", true},
        {"Z:\\games/ut3\\Binaries/Ut3.Exe", true},
        {"UT3.exe.bak", false},
        {"MyUT3.exe", false},
        {"C:\\UT3.exe\\launcher.exe", false},
        {"UT3", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gameprocess::namesGameExecutable(c.name), c.game) << c.name;
}

// One test for all processes: each must be gone before the next is looked for.
TEST(GameProcess, FindsARunningProcessOfTheGameAndNotOnceItHasEnded) {
    if (gameprocess::isGameRunning())
        GTEST_SKIP() << "the game runs on this machine";
    const struct {
        const char* file;
        const char* argv0;
        bool game;
    } cases[] = {
        {"UT3.exe", "UT3.exe", true},
        {"ut3.EXE", "ut3.EXE", true},
        {"UT3.exe.bak", "UT3.exe.bak", false},
#ifndef _WIN32
        // Wine's process for a game started from its Windows path.
        {"wine-preloader", "C:\\Program Files\\Unreal Tournament 3\\Binaries\\UT3.exe", true},
#endif
    };
    TempFolder folder;
    int n = 0;
    for (const auto& c : cases) {
        // A folder each: on Windows UT3.exe and ut3.EXE are the same name.
        const fs::path own = folder.path() / std::to_string(++n);
        fs::create_directory(own);
        RunningCopy copy(waitingProgram(), own / c.file, c.argv0);
        ASSERT_TRUE(copy.started()) << c.file;
        EXPECT_EQ(gameprocess::isGameRunning(), c.game) << c.file << " as " << c.argv0;
        copy.end();
        EXPECT_FALSE(gameprocess::isGameRunning()) << c.file << " ended, not yet collected";
    }
}

} // namespace
