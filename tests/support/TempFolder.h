#pragma once

#include <filesystem>
#include <string>

// A fresh folder below the system's temporary folder, removed with everything in it
// when the object goes out of scope.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};

// Whole-file helpers for tests: bytes in, bytes out, folders created as needed.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);
std::string readBytes(const std::filesystem::path& file);

// Makes a file read-only the way the program recognises it (no write permission bits).
void makeReadOnly(const std::filesystem::path& file);
// Gives the owner write permission again (clears the read-only attribute on Windows).
void makeWritable(const std::filesystem::path& file);
