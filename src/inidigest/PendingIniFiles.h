#pragma once

#include "inidigest/IniError.h"
#include "inidigest/IniFileWrite.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The files an IniWriteScope has changed in memory and not yet written (see
// IniWriteScope). Used only inside the INI layer.
class PendingIniFiles {
public:
    // The file's text with the keys applied so far; null when none is pending for `path`.
    const std::string* text(const std::string& path) const;

    // Applies one key to the file at `path`, reading the file at its first key. Throws as
    // a write of that one key would: the file cannot be read or is read-only, or the key
    // would make it too large; the keys before it stay pending.
    void write(const std::string& path, const std::string& section, const std::string& key,
               const std::string& value);

    // Replaces each changed file once, committed only over the version read; a file that
    // another program changed meanwhile is read again and gets the keys again. A file that
    // cannot be written stops the writes as IniWriteScope::finish() says. Nothing is
    // pending afterwards.
    void writeOut();

private:
    struct Key {
        std::size_t order; // among all keys of the scope
        std::string section;
        std::string key;
        std::string value;
    };
    struct File {
        std::string path;
        inifilewrite::Version read; // the version the keys are applied to
        std::vector<Key> keys;
        std::string text; // `read` with every key applied
        std::size_t firstKey() const { return keys.empty() ? SIZE_MAX : keys.front().order; }
    };
    struct Prepared;

    File* find(const std::string& path);
    static File readFile(const std::string& path);
    // `text` with the keys before `stop` applied.
    static std::string applied(const std::string& text, const std::vector<Key>& keys, std::size_t stop);
    static bool allBefore(const File& file, std::size_t stop);
    // Writes the new content of each file whose first key lies before `stop` beside it.
    // When one cannot be written, `stop` becomes its first key and its error is returned.
    static std::optional<IniError> prepareAll(std::vector<File>& files, std::size_t& stop,
                                              std::vector<Prepared>& prepared);
    static void commit(Prepared& prepared, std::size_t stop);
    static void takeBack(std::span<const Prepared> committed, std::size_t stop);

    std::vector<File> m_files; // in the order of their first key
    std::size_t m_keys = 0;
};
