// knobwerk: starts the installed Knobwerk from the player's own copy of it.
//
// Knobwerk keeps its tweak file Knobwerk.ini beside its executable, and beside the
// installed program (<prefix>/lib/knobwerk/Knobwerk) only root may write. So this
// launcher keeps a copy of the program in $XDG_DATA_HOME/knobwerk (default
// ~/.local/share/knobwerk), puts the installed one there again whenever the two differ
// (after an upgrade or a downgrade), and runs that copy: Knobwerk.ini then lies beside
// the executable that runs, in a folder the player owns.
//
// When the folder cannot be made, the copy not refreshed or not started, it says why on
// the terminal and, when there is a display, in a message box, and then runs the
// installed program, which shows its own error box about the unwritable Knobwerk.ini.
#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The program beside this launcher's prefix: <prefix>/bin/knobwerk -> <prefix>/lib/knobwerk/Knobwerk.
fs::path installedProgram() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    const fs::path prefix = error ? fs::path("/usr") : self.parent_path().parent_path();
    return prefix / "lib" / "knobwerk" / "Knobwerk";
}

// $XDG_DATA_HOME when it is an absolute path (the rule for these variables), else ~/.local/share.
fs::path dataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/')
        throw std::runtime_error("neither XDG_DATA_HOME nor HOME names a folder");
    return fs::path(home) / ".local" / "share";
}

bool sameContent(const fs::path& a, const fs::path& b) {
    std::error_code sizeOfA, sizeOfB;
    if (fs::file_size(a, sizeOfA) != fs::file_size(b, sizeOfB) || sizeOfA || sizeOfB)
        return false;
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    std::vector<char> x(1 << 16), y(1 << 16);
    while (first && second) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount() || std::memcmp(x.data(), y.data(), first.gcount()) != 0)
            return false;
    }
    return first.eof() && second.eof();
}

// Puts a copy of the installed program into the folder under a temporary name and renames
// it over the old copy, so that a copy still running elsewhere keeps its file.
void refreshCopy(const fs::path& installed, const fs::path& copy) {
    const fs::path temporary = copy.parent_path() / (".Knobwerk.new-" + std::to_string(getpid()));
    try {
        fs::copy_file(installed, temporary, fs::copy_options::overwrite_existing);
        fs::permissions(temporary, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
        fs::rename(temporary, copy);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
}

// The player's copy of the program, made or refreshed as needed.
fs::path preparedCopy(const fs::path& installed) {
    const fs::path folder = dataHome() / "knobwerk";
    fs::create_directories(folder);
    const fs::path copy = folder / "Knobwerk";
    if (!sameContent(installed, copy))
        refreshCopy(installed, copy);
    return copy;
}

std::string reasonOf(const std::exception& e) {
    if (const auto* failure = dynamic_cast<const fs::filesystem_error*>(&e)) {
        const std::string where = failure->path1().empty() ? std::string() : failure->path1().string() + ": ";
        return where + failure->code().message();
    }
    return e.what();
}

// Shows the text in a message box from a child process, so that a display the toolkit
// cannot open ends only the child, never the start of the program.
void showBox(const std::string& text, int argc, char* argv[]) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((x11 == nullptr || *x11 == '\0') && (wayland == nullptr || *wayland == '\0'))
        return;
    const pid_t child = fork();
    if (child == 0) {
        QApplication app(argc, argv);
        QMessageBox::warning(nullptr, QStringLiteral("Knobwerk"), QString::fromStdString(text));
        std::_Exit(0);
    }
    if (child > 0)
        waitpid(child, nullptr, 0);
}

// Runs the program with the launcher's own arguments; returns only when it cannot.
void run(const fs::path& program, int argc, char* argv[]) {
    std::vector<char*> arguments;
    std::string path = program.string();
    arguments.push_back(path.data());
    for (int i = 1; i < argc; ++i)
        arguments.push_back(argv[i]);
    arguments.push_back(nullptr);
    execv(path.c_str(), arguments.data());
}

void warn(const std::string& text, int argc, char* argv[]) {
    std::fprintf(stderr, "knobwerk: %s\n", text.c_str());
    std::fflush(stderr);
    showBox(text, argc, argv);
}

} // namespace

int main(int argc, char* argv[]) {
    const fs::path installed = installedProgram();
    if (access(installed.c_str(), X_OK) != 0) {
        warn("Knobwerk is not installed properly: " + installed.string() + " is missing.", argc, argv);
        return 127;
    }

    const std::string fallback = "\nKnobwerk starts from " + installed.parent_path().string() +
                                 " instead, where it cannot keep its Knobwerk.ini.";
    try {
        const fs::path copy = preparedCopy(installed);
        run(copy, argc, argv);
        warn("Knobwerk cannot start its copy " + copy.string() + ": " + std::strerror(errno) + "." + fallback,
             argc, argv);
    } catch (const std::exception& e) {
        warn("Knobwerk cannot keep its own copy below your data folder: " + reasonOf(e) + "." + fallback,
             argc, argv);
    }
    run(installed, argc, argv);
    std::fprintf(stderr, "knobwerk: cannot start %s: %s\n", installed.c_str(), std::strerror(errno));
    return 127;
}
