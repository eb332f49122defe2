#include "sync/GameFileBackup.h"

#include "inidigest/IniError.h"
#include "inidigest/IniLayer.h"
#include "platform/ErrorText.h"
#include "platform/FileStore.h"

#include <functional>
#include <optional>
#include <vector>

namespace gamebackup {

namespace {

constexpr IniTarget kGameFiles[] = {EngineIni, GameIni, InputIni};

using FailureText = std::function<std::string(const std::string& path, const std::error_code&)>;

std::string systemError(const std::string&, const std::error_code& error) {
    return errortext::systemError(error);
}

std::string cannotOpen(const std::string& source, const std::error_code& error) {
    return "Cannot open file \"" + source + "\". " + errortext::describe(error);
}

std::string cannotCreate(const std::string& target, const std::error_code& error) {
    return "Cannot create file \"" + target + "\". " + errortext::describe(error);
}

// The whole content of `path`, or the error text `failure` gives for it.
std::string readWhole(const std::string& path, const FailureText& failure) {
    // Never a copy of a file that another program is still writing.
    filestore::ReadResult file = filestore::readSettledFile(filestore::toPath(path), kMaxIniFileSize);
    if (!file.ok)
        throw IniError(failure(path, file.error));
    return std::move(file.bytes);
}

// One file to write: where, what, and (for a backup) whose permissions it takes. A
// backup is this program's own file: it replaces the previous one even when that one is
// read-only, as a backup of a read-only game file is.
struct Target {
    std::string path;
    std::string bytes;
    std::string permissionsOf;
    filestore::Ownership ownership = filestore::Ownership::Player;
};

// What a target held before, to put back should a later target fail.
struct Before {
    bool existed = false;
    std::optional<std::string> bytes; // nullopt when it could not be read
};

Before contentBefore(const Target& target) {
    const std::filesystem::path path = filestore::toPath(target.path);
    filestore::ReadResult file = filestore::readSettledFile(path, kMaxIniFileSize);
    if (file.ok)
        return {true, std::move(file.bytes)};
    return {filestore::exists(path), std::nullopt};
}

// Puts back what the first `count` targets held before.
void putBack(const std::vector<Target>& targets, const std::vector<Before>& before, std::size_t count) {
    for (std::size_t i = count; i-- > 0;) {
        const std::filesystem::path path = filestore::toPath(targets[i].path);
        if (before[i].bytes)
            (void)filestore::Replacement(path, *before[i].bytes, nullptr, targets[i].ownership).commit();
        else if (!before[i].existed)
            std::filesystem::remove(path);
    }
}

// Writes each target's new content beside it, all of them, before the first one is put
// in its place: a target that cannot be written then costs no file its previous content.
// One that fails as it is put in its place (a file rewritten where it is) has its old
// content back at once, and so do the targets before it: all or nothing.
void replaceAll(const std::vector<Target>& targets, const FailureText& failure) {
    std::vector<filestore::Replacement> prepared;
    std::vector<Before> before;
    prepared.reserve(targets.size());
    for (const Target& target : targets) {
        const std::filesystem::path model = filestore::toPath(target.permissionsOf);
        prepared.emplace_back(filestore::toPath(target.path), target.bytes,
                              target.permissionsOf.empty() ? nullptr : &model, target.ownership);
        if (const std::error_code error = prepared.back().error())
            throw IniError(failure(target.path, error));
        before.push_back(contentBefore(target));
    }
    // The folders are flushed once, after the last rename and before any message.
    const filestore::FolderFlushScope flushFoldersAtEnd;
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (const std::error_code error = prepared[i].commit()) {
            putBack(targets, before, i);
            throw IniError(failure(targets[i].path, error));
        }
}

} // namespace

WalkResult backupGameFiles() {
    return walkUntilError([] {
        std::vector<Target> backups;
        for (IniTarget file : kGameFiles) {
            const std::string source = IniTargetPath(file);
            // A backup is as private as the file it copies.
            backups.push_back(
                {IniBackupPath(file), readWhole(source, cannotOpen), source, filestore::Ownership::Program});
        }
        replaceAll(backups, cannotCreate);
    });
}

WalkResult restoreGameFiles() {
    return walkUntilError([] {
        std::vector<Target> gameFiles;
        for (IniTarget file : kGameFiles)
            gameFiles.push_back({IniTargetPath(file), readWhole(IniBackupPath(file), systemError), {}});
        replaceAll(gameFiles, systemError);
    });
}

void copyWholeFile(const std::string& source, const std::string& target) {
    replaceAll({{target, readWhole(source, cannotOpen), {}}}, cannotCreate);
}

} // namespace gamebackup
