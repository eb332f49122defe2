// One spare copy of the three game files, with ".bak" appended, and the way back.
#include "MainForm.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "platform/FileStore.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QDir>

#include <vector>

namespace {

const char* const kGameFiles[] = {"UTEngine.ini", "UTGame.ini", "UTInput.ini"};

// The documents folder is asked for anew for every path.
QString gameFilePath(const char* name) {
    return fromPathText(GameConfigFolder(GetPersonalFolder())) + QDir::separator() + QLatin1String(name);
}

QString backupPath(const char* name) {
    return gameFilePath(name) + QStringLiteral(".bak");
}

std::string systemError(const std::error_code& error) {
    if (!error)
        return "A call to an OS function failed";
    return "System Error.  Code: " + std::to_string(error.value()) + ".\r\n" + error.message();
}

filestore::ReadResult readWhole(const QString& path) {
    return filestore::readFile(filestore::toPath(toPathText(path)));
}

// The whole content of the file to copy; "Cannot open file" when it cannot be read.
std::string readForCopy(const QString& source) {
    filestore::ReadResult file = readWhole(source);
    if (!file.ok)
        throw IniError("Cannot open file \"" + toPathText(source) + "\". " + file.error.message());
    return std::move(file.bytes);
}

// Replaces `target` with `bytes` atomically; "Cannot create file" when that fails.
void writeCopy(const QString& target, const std::string& bytes) {
    if (const std::error_code error = filestore::replaceFile(filestore::toPath(toPathText(target)), bytes))
        throw IniError("Cannot create file \"" + toPathText(target) + "\". " + error.message());
}

} // namespace

void TMainform::xMoveFile(const QString& source, const QString& target) {
    writeCopy(target, readForCopy(source));
}

void TMainform::BtnBackupClick() {
    if (!confirmed(QStringLiteral("Older backups will be overwritten! Proceed?")))
        return;
    // All three must be readable before the first backup is replaced, so that a
    // missing game file never costs the player the previous backup of the others.
    for (const char* name : kGameFiles)
        readForCopy(gameFilePath(name));
    for (const char* name : kGameFiles)
        xMoveFile(gameFilePath(name), backupPath(name));
    m_dialogs.showMessage(
        QStringLiteral("Backups have been created. Please make sure, that they really EXIST! (_I_ "
                       "dont care if they are gone...)\r\nYou can find them in the config "
                       "directory with an \".bak\" extension at the end."));
}

void TMainform::BtnRestoreClick() {
    if (!confirmed(QStringLiteral("Old INIs will be restored from the backups. Proceed?")))
        return;
    // Every backup must be there and readable before the first game file is replaced.
    std::vector<std::string> backups;
    for (const char* name : kGameFiles) {
        filestore::ReadResult file = readWhole(backupPath(name));
        if (!file.ok)
            throw IniError(systemError(file.error));
        backups.push_back(std::move(file.bytes));
        if (filestore::isReadOnly(filestore::toPath(toPathText(gameFilePath(name)))))
            throw IniError(systemError(std::make_error_code(std::errc::permission_denied)));
    }
    for (std::size_t i = 0; i < backups.size(); ++i) {
        const auto target = filestore::toPath(toPathText(gameFilePath(kGameFiles[i])));
        if (const std::error_code error = filestore::replaceFile(target, backups[i]))
            throw IniError(systemError(error));
    }
    m_dialogs.showMessage(QStringLiteral("Backups have been restored."));
}
