// One spare copy of the three game files, with ".bak" appended, and the way back.
#include "mainform/MainForm.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "platform/ErrorText.h"
#include "platform/FileStore.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <functional>
#include <vector>

namespace {

const char* const kGameFiles[] = {"UTEngine.ini", "UTGame.ini", "UTInput.ini"};

// Paths stay in the layer's own text form, so a folder name that is no valid UTF-8 is
// used as the bytes it is. The documents folder is asked for anew for every path.
std::string gameFilePath(const char* name) {
    return GameConfigFolder(GetPersonalFolder()) +
           static_cast<char>(std::filesystem::path::preferred_separator) + name;
}

std::string backupPath(const char* name) {
    return gameFilePath(name) + ".bak";
}

filestore::ReadResult readWhole(const std::string& path) {
    return filestore::readFile(filestore::toPath(path), kMaxIniFileSize);
}

// The whole content of the file to copy; "Cannot open file" when it cannot be read.
std::string readForCopy(const std::string& source) {
    filestore::ReadResult file = readWhole(source);
    if (!file.ok)
        throw IniError("Cannot open file \"" + source + "\". " + errortext::describe(file.error));
    return std::move(file.bytes);
}

std::string cannotCreate(const std::string& target, const std::error_code& error) {
    return "Cannot create file \"" + target + "\". " + errortext::describe(error);
}

// Writes each target's new content beside it, all of them, before the first one is put
// in its place: a target that cannot be written then costs no file its previous
// content. `failure` gives the error text for a target.
// `permissionsOf`, when given, names for each target the file whose permissions it takes.
void replaceAll(const std::vector<std::string>& targets, const std::vector<std::string>& contents,
                const std::function<std::string(const std::string&, const std::error_code&)>& failure,
                const std::vector<std::string>& permissionsOf = {},
                filestore::Ownership ownership = filestore::Ownership::Player) {
    std::vector<filestore::Replacement> prepared;
    prepared.reserve(targets.size());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::filesystem::path model =
            permissionsOf.empty() ? std::filesystem::path() : filestore::toPath(permissionsOf[i]);
        prepared.emplace_back(filestore::toPath(targets[i]), contents[i], model.empty() ? nullptr : &model,
                              ownership);
        if (const std::error_code error = prepared.back().error())
            throw IniError(failure(targets[i], error));
    }
    const filestore::FolderFlushScope flushFoldersAtEnd;
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (const std::error_code error = prepared[i].commit())
            throw IniError(failure(targets[i], error));
}

} // namespace

void TMainform::xMoveFile(const QString& source, const QString& target) {
    const std::string to = toPathText(target);
    replaceAll({to}, {readForCopy(toPathText(source))}, cannotCreate);
}

void TMainform::BtnBackupClick() {
    if (!confirmed(QStringLiteral("Older backups will be overwritten! Proceed?")))
        return;
    // All three are read and their new backups written beside the old ones before the
    // first backup is replaced: a failure keeps the previous generation whole.
    std::vector<std::string> sources;
    std::vector<std::string> targets;
    std::vector<std::string> contents;
    for (const char* name : kGameFiles) {
        sources.push_back(gameFilePath(name));
        contents.push_back(readForCopy(sources.back()));
        targets.push_back(backupPath(name));
    }
    // A backup is as private as the file it copies.
    replaceAll(targets, contents, cannotCreate, sources, filestore::Ownership::Program);
    m_dialogs.showMessage(
        QStringLiteral("Backups have been created. Please make sure, that they really EXIST! (_I_ "
                       "dont care if they are gone...)\r\nYou can find them in the config "
                       "directory with an \".bak\" extension at the end."));
}

void TMainform::BtnRestoreClick() {
    if (!confirmed(QStringLiteral("Old INIs will be restored from the backups. Proceed?")))
        return;
    // Every backup must be there and readable, and every game file ready to be replaced,
    // before the first game file changes.
    std::vector<std::string> targets;
    std::vector<std::string> backups;
    for (const char* name : kGameFiles) {
        filestore::ReadResult file = readWhole(backupPath(name));
        if (!file.ok)
            throw IniError(errortext::systemError(file.error));
        backups.push_back(std::move(file.bytes));
        targets.push_back(gameFilePath(name));
    }
    replaceAll(targets, backups, [](const std::string&, const std::error_code& error) {
        return errortext::systemError(error);
    });
    m_dialogs.showMessage(QStringLiteral("Backups have been restored."));
}
