#pragma once

#include "inidigest/IniTarget.h"

#include <cstddef>
#include <filesystem>
#include <string>

// Game files of the size and shape the game writes: many sections, comments and blank
// lines, CR LF line ends, and every catalogue key of the file spread among other keys.
std::string makeGameFile(IniTarget target, std::size_t lineCount);

constexpr std::size_t kEngineLines = 2500;
constexpr std::size_t kGameLines = 1500;
constexpr std::size_t kInputLines = 900;
// A UTEngine.ini of about 7 MiB, near the size limit: what a mod or a long-played game
// may leave behind.
constexpr std::size_t kLargeEngineLines = 240000;

// A documents folder and a program folder below the system's temporary folder, filled
// with generated game files; removed again when the object goes.
class BenchHome {
public:
    // Below the system's temporary folder and removed at the end, or in `root` and kept.
    BenchHome();
    explicit BenchHome(std::filesystem::path root);
    ~BenchHome();
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

    std::filesystem::path documents() const { return m_root / "Documents"; }
    std::filesystem::path programFolder() const { return m_root / "program"; }
    std::filesystem::path gameFile(const std::string& name) const;

    // (Re)writes the three game files; UTEngine.ini with `engineLines` lines.
    void writeGameFiles(std::size_t engineLines = kEngineLines) const;

private:
    std::filesystem::path m_root;
    bool m_keep = false;
};

// Points the INI access layer at these folders, messages go to `messages` (may be null).
void useFolders(const std::filesystem::path& documents, const std::filesystem::path& programFolder,
                int* messages);

// Lines of a file as the engine counts them (CR LF, LF or CR end a line).
std::size_t countLines(const std::string& bytes);
