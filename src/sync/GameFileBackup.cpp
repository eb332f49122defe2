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

std::string readWhole(const std::string& path, const FailureText& failure) {
    // Never a copy of a file that another program is still writing.
    filestore::ReadResult file = filestore::readSettledFile(filestore::toPath(path), kMaxIniFileSize);
    if (!file.ok)
        throw IniError(failure(path, file.error));
    return std::move(file.bytes);
}

struct Target {
    std::string path;
    std::string bytes;
    std::string permissionsOf;
    filestore::Ownership ownership = filestore::Ownership::Player;
};

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

void putBack(const std::vector<Target>& targets, const std::vector<Before>& before, std::size_t count) {
    for (std::size_t i = count; i-- > 0;) {
        const std::filesystem::path path = filestore::toPath(targets[i].path);
        if (before[i].bytes)
            (void)filestore::Replacement(path, *before[i].bytes, nullptr, targets[i].ownership).commit();
        else if (!before[i].existed)
            std::filesystem::remove(path);
    }
}

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
