#include "TempFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    m_path = fs::temp_directory_path() /
             ("knobwerk-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(m_path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Read-only files and folders must become writable again before they can go.
    for (auto it = fs::recursive_directory_iterator(m_path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write test file " + file.string());
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read test file " + file.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void makeWritable(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

void makeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}
