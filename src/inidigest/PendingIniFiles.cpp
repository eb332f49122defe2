#include "inidigest/PendingIniFiles.h"

#include "inidigest/IniError.h"
#include "inidigest/IniLayer.h"
#include "inidigest/IniText.h"

#include <span>
#include <utility>

namespace {

// Reads of a file that another program keeps changing, before the write gives up.
constexpr int kAttempts = 5;

} // namespace

struct PendingIniFiles::Prepared {
    File* file;
    std::string bytes;
    filestore::Replacement replacement;
};

const std::string* PendingIniFiles::text(const std::string& path) const {
    for (const File& file : m_files)
        if (file.path == path)
            return &file.text;
    return nullptr;
}

PendingIniFiles::File* PendingIniFiles::find(const std::string& path) {
    for (File& file : m_files)
        if (file.path == path)
            return &file;
    return nullptr;
}

PendingIniFiles::File PendingIniFiles::readFile(const std::string& path) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (std::optional<inifilewrite::Version> read = inifilewrite::readForWrite(path)) {
            File file{path, std::move(*read), {}, {}};
            file.text = file.read.file.text;
            return file;
        }
    }
    throw IniError(inifilewrite::unableToWrite(path));
}

void PendingIniFiles::write(const std::string& path, const std::string& section, const std::string& key,
                            const std::string& value) {
    File* file = find(path);
    std::optional<File> first;
    if (!file)
        file = &first.emplace(readFile(path));
    initext::setValue(file->text, section, key, value);
    if (!inifilewrite::fitsSizeLimit(file->text, file->read.file.encoding)) {
        file->text = applied(file->read.file.text, file->keys, SIZE_MAX); // as before this key
        throw IniError(inifilewrite::wouldGrow(path));
    }
    file->keys.push_back({m_keys++, section, key, value});
    if (first)
        m_files.push_back(std::move(*first));
}

std::string PendingIniFiles::applied(const std::string& text, const std::vector<Key>& keys,
                                     std::size_t stop) {
    std::string result = text;
    for (const Key& key : keys)
        if (key.order < stop)
            initext::setValue(result, key.section, key.key, key.value);
    return result;
}

bool PendingIniFiles::allBefore(const File& file, std::size_t stop) {
    return file.keys.back().order < stop;
}

std::optional<IniError> PendingIniFiles::prepareAll(std::vector<File>& files, std::size_t& stop,
                                                    std::vector<Prepared>& prepared) {
    prepared.clear();
    prepared.reserve(files.size());
    for (File& file : files) {
        if (file.firstKey() >= stop)
            break;
        try {
            const std::string some =
                allBefore(file, stop) ? std::string() : applied(file.read.file.text, file.keys, stop);
            const std::string& text = allBefore(file, stop) ? file.text : some;
            if (text == file.read.file.text)
                continue;
            std::string bytes = inifilewrite::bytesToStore(file.path, text, file.read.file.encoding);
            filestore::Replacement replacement(filestore::toPath(file.path), bytes);
            if (replacement.error())
                throw IniError(inifilewrite::unableToWrite(file.path));
            prepared.push_back({&file, std::move(bytes), std::move(replacement)});
        } catch (const IniError& error) {
            stop = file.firstKey();
            return error;
        }
    }
    return std::nullopt;
}

void PendingIniFiles::commit(Prepared& prepared, std::size_t stop) {
    File& file = *prepared.file;
    std::error_code error = prepared.replacement.commit(&file.read.stamp);
    // Another program changed the file since it was read: its change is kept, and the
    // keys are applied to it again.
    for (int attempt = 1; error == filestore::FileError::KeepsChanging && attempt < kAttempts; ++attempt) {
        std::optional<inifilewrite::Version> read = inifilewrite::readForWrite(file.path);
        if (!read)
            continue;
        file.read = std::move(*read);
        const std::string text = applied(file.read.file.text, file.keys, stop);
        if (text == file.read.file.text)
            return;
        prepared.bytes = inifilewrite::bytesToStore(file.path, text, file.read.file.encoding);
        error = filestore::replaceFile(filestore::toPath(file.path), prepared.bytes, &file.read.stamp);
    }
    if (error)
        throw IniError(inifilewrite::unableToWrite(file.path));
}

void PendingIniFiles::takeBack(std::span<const Prepared> committed, std::size_t stop) {
    for (const Prepared& prepared : committed) {
        const File& file = *prepared.file;
        if (allBefore(file, stop))
            continue;
        const filestore::ReadResult now =
            filestore::readSettledFile(filestore::toPath(file.path), kMaxIniFileSize);
        // Changed by another program since: left as that program wrote it.
        if (!now.ok || now.bytes != prepared.bytes)
            continue;
        const std::string text = applied(file.read.file.text, file.keys, stop);
        (void)filestore::replaceFile(filestore::toPath(file.path),
                                     iniencoding::encode(text, file.read.file.encoding), &now.stamp);
    }
}

void PendingIniFiles::writeOut() {
    std::vector<File> files = std::exchange(m_files, {});
    m_keys = 0;
    std::size_t stop = SIZE_MAX; // the first key not to be written
    std::optional<IniError> failure;
    // Every new content is written beside its file before the first one is put in place,
    // so a file that cannot be written is mostly found before any other has changed.
    std::vector<Prepared> prepared;
    while (std::optional<IniError> error = prepareAll(files, stop, prepared))
        failure = std::move(error);
    for (std::size_t i = 0; i < prepared.size(); ++i) {
        try {
            commit(prepared[i], stop);
        } catch (const IniError& error) {
            // Found only now: the files put in place before it give back their later keys.
            failure = error;
            stop = prepared[i].file->firstKey();
            takeBack(std::span(prepared).first(i), stop);
            break;
        }
    }
    if (failure)
        throw *failure;
}
