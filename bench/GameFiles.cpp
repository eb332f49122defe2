#include "GameFiles.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniLayer.h"
#include "settings/Catalogue.h"
#include "sync/ValueCodec.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Block = std::vector<std::string>; // the lines of one section, heading first

constexpr const char* kPackages[] = {
    "Engine", "UTGame",  "UTGameContent", "IpDrv",         "OnlineSubsystemGameSpy",
    "WinDrv", "ALAudio", "Core",          "GameFramework", "UTEditor"};
constexpr const char* kPrefixes[] = {"b", "Max", "Min", "Default", "Use", "Num", "Target", ""};
constexpr const char* kWords[] = {"Texture", "Shadow",  "Audio",   "Network",  "Stream",  "Pool",
                                  "Cache",   "Player",  "Physics", "Particle", "Render",  "Input",
                                  "Server",  "Client",  "Voice",   "Map",      "Vehicle", "Weapon",
                                  "Crowd",   "Foliage", "Terrain", "Mesh",     "Anim",    "Script"};
constexpr const char* kSuffixes[] = {"Size", "Count", "Enabled", "Time",    "Scale", "Distance",
                                     "Rate", "Limit", "Bias",    "Quality", "Mode",  "Name"};

template <std::size_t N> const char* pick(std::mt19937& random, const char* const (&list)[N]) {
    return list[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}

int between(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

bool isCatalogueKey(const std::string& name) {
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (row.key.size() != name.size())
            continue;
        if (std::equal(name.begin(), name.end(), row.key.begin(),
                       [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); }))
            return true;
    }
    return name == "Patch";
}

std::string fillerValue(std::mt19937& random) {
    char text[64];
    switch (between(random, 0, 6)) {
    case 0:
        return between(random, 0, 1) ? "True" : "False";
    case 1:
        return std::to_string(between(random, 0, 65536));
    case 2:
        std::snprintf(text, sizeof text, "%.6f", between(random, 0, 100000) / 1000.0);
        return text;
    case 3:
        return std::string("..\\..\\") + pick(random, kPackages) + "\\Content\\" + pick(random, kWords);
    case 4:
        return std::string(pick(random, kPackages)) + "." + pick(random, kWords) + pick(random, kSuffixes);
    case 5:
        return std::string("(Name=\"") + pick(random, kWords) + "\",Command=\"" + pick(random, kWords) + " " +
               pick(random, kSuffixes) + "\")";
    default:
        return "";
    }
}

std::string fillerLine(std::mt19937& random, int index) {
    std::string name;
    do {
        name = std::string(pick(random, kPrefixes)) + pick(random, kWords) + pick(random, kSuffixes);
        if (between(random, 0, 3) == 0)
            name += std::to_string(index);
    } while (isCatalogueKey(name));
    return name + "=" + fillerValue(random);
}

// Random control values: boxes either way, fields small multiples of four.
class RandomValues : public SettingValues {
public:
    explicit RandomValues(std::mt19937& random)
        : m_random(random) {}
    bool checked(std::string_view) const override { return between(m_random, 0, 1); }
    void setChecked(std::string_view, bool) override {}
    std::string text(std::string_view) const override { return std::to_string(between(m_random, 0, 4) * 4); }
    void setText(std::string_view, const std::string&) override {}

private:
    std::mt19937& m_random;
};

// A random value of the row's kind, as the program writes it; where a write would leave
// the key alone (a movie list), a list the game ships with.
std::string catalogueValue(const CatalogueRow& row, std::mt19937& random) {
    const RandomValues values(random);
    return codecOf(row.kind).writtenText(values, row).value_or("UE3_logo");
}

Block fillerSection(std::mt19937& random, int number, int keys) {
    Block block{std::string("[") + pick(random, kPackages) + "." + pick(random, kWords) +
                pick(random, kSuffixes) + std::to_string(number) + "]"};
    if (between(random, 0, 3) == 0)
        block.push_back(std::string("; ") + pick(random, kWords) + " settings, see the documentation");
    for (int k = 0; k < keys; ++k)
        block.push_back(fillerLine(random, k));
    return block;
}

// A catalogue section: its keys in catalogue order with other keys between them.
Block catalogueSection(std::mt19937& random, std::string_view section, IniTarget target) {
    Block block{std::string("[").append(section).append("]")};
    int filler = 0;
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (row.target != target || row.section != section)
            continue;
        for (int k = between(random, 0, 3); k > 0; --k)
            block.push_back(fillerLine(random, filler++));
        if (between(random, 0, 5) == 0)
            block.push_back(std::string("; ").append(row.key).append(" as the game sets it"));
        block.push_back(std::string(row.key) + "=" + catalogueValue(row, random));
        if (row.kind == ValueKind::MovieText)
            block.push_back(std::string(row.key) + "=UT_intro");
    }
    for (int k = between(random, 2, 6); k > 0; --k)
        block.push_back(fillerLine(random, filler++));
    return block;
}

} // namespace

std::string makeGameFile(IniTarget target, std::size_t lineCount) {
    std::mt19937 random(1000u + static_cast<unsigned>(target));

    std::vector<std::string_view> sections;
    for (const CatalogueRow& row : settingsCatalogue())
        if (row.target == target &&
            std::find(sections.begin(), sections.end(), row.section) == sections.end())
            sections.push_back(row.section);

    // Catalogue sections spread evenly among the others; each block is followed by a blank line.
    const std::size_t planned = lineCount / 22;
    std::vector<Block> blocks;
    std::vector<bool> isFiller;
    std::size_t next = 0;
    for (std::size_t b = 0; b < planned || next < sections.size(); ++b) {
        if (next < sections.size() && b >= (next + 1) * planned / (sections.size() + 1)) {
            blocks.push_back(catalogueSection(random, sections[next++], target));
            isFiller.push_back(false);
        } else {
            blocks.push_back(fillerSection(random, static_cast<int>(b), between(random, 8, 30)));
            isFiller.push_back(true);
        }
    }
    if (target == EngineIni) {
        blocks.push_back({"[IniVersion]", "0=1191425345.000000", "1=1191425345.000000", "Patch=5"});
        isFiller.push_back(false);
    }

    auto total = [&] {
        std::size_t n = 0;
        for (const Block& block : blocks)
            n += block.size() + 1;
        return n;
    };
    // Exactly lineCount lines: trim filler keys, or add a last filler section.
    while (total() > lineCount) {
        const std::size_t b =
            static_cast<std::size_t>(between(random, 0, static_cast<int>(blocks.size()) - 1));
        if (isFiller[b] && blocks[b].size() > 3)
            blocks[b].pop_back();
    }
    const std::size_t missing = lineCount - total();
    if (missing == 1) {
        blocks.back().push_back("; end of file");
    } else if (missing >= 2) {
        Block last = fillerSection(random, 9999, 0);
        last.resize(1); // the heading alone
        while (last.size() + 1 < missing)
            last.push_back(fillerLine(random, static_cast<int>(last.size())));
        blocks.push_back(std::move(last));
    }

    std::string bytes;
    for (const Block& block : blocks) {
        for (const std::string& line : block)
            bytes += line + "\r\n";
        bytes += "\r\n";
    }
    return bytes;
}

std::size_t countLines(const std::string& bytes) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++lines;
    }
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r')
        ++lines;
    return lines;
}

namespace {

fs::path freshTemporaryFolder() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return fs::temp_directory_path() /
           ("knobwerk-bench-" + std::to_string(getpid()) + "-" + std::to_string(stamp));
}

} // namespace

BenchHome::BenchHome()
    : BenchHome(freshTemporaryFolder()) {
    m_keep = false;
}

BenchHome::BenchHome(fs::path root)
    : m_root(std::move(root))
    , m_keep(true) {
    fs::create_directories(documents());
    fs::create_directories(programFolder());
    fs::create_directories(gameFile("UTEngine.ini").parent_path());
    writeGameFiles();
}

BenchHome::~BenchHome() {
    if (m_keep)
        return;
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

fs::path BenchHome::gameFile(const std::string& name) const {
    return fs::path(GameConfigFolder(documents().string())) / name;
}

void BenchHome::writeGameFiles(std::size_t engineLines) const {
    const std::pair<const char*, std::string> files[] = {
        {"UTEngine.ini", makeGameFile(EngineIni, engineLines)},
        {"UTGame.ini", makeGameFile(GameIni, kGameLines)},
        {"UTInput.ini", makeGameFile(InputIni, kInputLines)},
    };
    for (const auto& [name, bytes] : files) {
        std::ofstream out(gameFile(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error(std::string("cannot write ") + name);
    }
}

void useFolders(const fs::path& documents, const fs::path& programFolder, int* messages) {
    IniHost host;
    host.personalFolder = [documents] { return documents.string(); };
    host.executableFolder = [programFolder] { return programFolder.string(); };
    host.showMessage = [messages](const std::string& text) {
        if (messages)
            ++*messages;
        std::fprintf(stderr, "message: %s\n", text.c_str());
    };
    host.creationTimestamp = [] { return std::string("07.12.2026, 10:31:05"); };
    ResetIniLayer(std::move(host));
}
