#include "inidigest/IniDigest.h"

#include "inidigest/IniEncoding.h"
#include "inidigest/IniError.h"
#include "inidigest/IniFileWrite.h"
#include "inidigest/IniText.h"
#include "inidigest/IniValues.h"
#include "inidigest/PendingIniFiles.h"
#include "platform/FileStore.h"
#include "platform/RollbackJournal.h"

#include <optional>

namespace {

// Module state, alive for the whole run.
IniHost host;
std::string documentsFolder;
std::string customPath;
bool ErrorShown = false;
// Targets whose file was found missing since the last ResetIniErrors, one bit each.
unsigned missingTargets = 0;

unsigned targetBit(IniTarget target) {
    const int number = static_cast<int>(target);
    return number >= 0 && number < 32 ? 1u << number : 0u;
}

// The one INI file open at a time, and only within one operation.
struct OpenFile {
    std::string path;
};
std::optional<OpenFile> openIni;

// What the open IniWriteScopes have written and not yet stored.
PendingIniFiles pendingFiles;
int openWriteScopes = 0;

const std::string kSeparator(1, static_cast<char>(std::filesystem::path::preferred_separator));

std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder;
}

std::string gameFile(const char* name) {
    return GameConfigFolder(documentsFolder) + kSeparator + name;
}

void showMessage(const std::string& text) {
    if (host.showMessage)
        host.showMessage(text);
}

bool OpenIni(IniTarget target) {
    const std::string path = IniTargetPath(target);
    if (filestore::exists(filestore::toPath(path))) {
        openIni = OpenFile{path};
        return true;
    }
    missingTargets |= targetBit(target);
    if (!ErrorShown) {
        showMessage("The ini, expected in \"" + path + "\", could not be found or loaded.");
        ErrorShown = true;
    }
    return false;
}

void CloseIni() {
    openIni.reset();
}

// Releases the open file however the operation ends.
struct CloseOnExit {
    ~CloseOnExit() { CloseIni(); }
};

// The file's text, decoded; nullopt when it cannot be read (`error` says why).
std::optional<iniencoding::DecodedFile> readFileText(const std::string& path, std::error_code& error) {
    filestore::ReadResult file = filestore::readFile(filestore::toPath(path), kMaxIniFileSize);
    error = file.error;
    if (!file.ok)
        return std::nullopt;
    return iniencoding::decode(std::move(file.bytes));
}

enum class KeyRead { Found, Missing, Unreadable };

// Reads the key from the open file into `value`. A file too large to be a configuration
// file is reported once per operation and reads as a missing key.
KeyRead readOpenKey(const std::string& section, const std::string& key, std::string& value) {
    std::optional<std::string> found;
    if (const std::string* pending = pendingFiles.text(openIni->path)) {
        found = initext::readValue(*pending, section, key);
    } else {
        std::error_code error;
        const auto file = readFileText(openIni->path, error);
        if (!file) {
            if (error != std::errc::file_too_large)
                return KeyRead::Unreadable;
            if (!ErrorShown)
                showMessage(inifilewrite::tooLarge(openIni->path));
            ErrorShown = true;
            return KeyRead::Missing;
        }
        found = initext::readValue(file->text, section, key);
    }
    if (!found)
        return KeyRead::Missing;
    value = *found;
    return KeyRead::Found;
}

std::string readWithDefault(IniTarget target, const std::string& section, const std::string& key,
                            const std::string& fallback) {
    if (!OpenIni(target))
        return {};
    CloseOnExit close;
    std::string value;
    return readOpenKey(section, key, value) == KeyRead::Found ? value : fallback;
}

void reportReadError(const std::string& section, const std::string& key) {
    if (!ErrorShown)
        showMessage("An error occured while reading the key \"" + key + "\"\r\nfrom Section \"" + section +
                    "\".");
}

// One read-modify-write of the key. False when another program changed the file
// between the read and the replacement: nothing was written then.
bool tryWriteOpenKey(const std::string& section, const std::string& key, const std::string& value) {
    const std::string& path = openIni->path;
    const std::optional<inifilewrite::Version> old = inifilewrite::readForWrite(path);
    if (!old)
        return false;
    const std::string updated = initext::writeValue(old->file.text, section, key, value);
    if (updated == old->file.text)
        return true;
    const std::string bytes = inifilewrite::bytesToStore(path, updated, old->file.encoding);
    // Replaced only if it is still the version read: the game or an editor may rewrite
    // the file in place meanwhile, and what was read may have been half of its write.
    const std::error_code error = filestore::replaceFile(filestore::toPath(path), bytes, &old->stamp);
    if (error == filestore::FileError::KeepsChanging)
        return false;
    if (error)
        throw IniError(inifilewrite::unableToWrite(path));
    return true;
}

void writeOpenKey(const std::string& section, const std::string& key, const std::string& value) {
    const std::string& path = openIni->path;
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt)
        if (tryWriteOpenKey(section, key, value))
            return;
    throw IniError(inifilewrite::unableToWrite(path));
}

void writeKey(IniTarget target, const std::string& section, const std::string& key,
              const std::function<std::string()>& valueText) {
    if (!OpenIni(target))
        return;
    CloseOnExit close;
    const std::string value = valueText();
    if (openWriteScopes > 0)
        pendingFiles.write(openIni->path, section, key, value);
    else
        writeOpenKey(section, key, value);
}

} // namespace

void SetIniHost(IniHost newHost) {
    host = std::move(newHost);
}

std::string GameConfigFolder(const std::string& documents) {
    return documents + kSeparator + "My Games" + kSeparator + "Unreal Tournament 3" + kSeparator + "UTGame" +
           kSeparator + "Config";
}

std::string IniTargetPath(IniTarget target) {
    switch (target) {
    case TweakFile:
        return (host.executableFolder ? host.executableFolder() : std::string()) + kSeparator +
               "Knobwerk.ini";
    case EngineIni:
        return gameFile("UTEngine.ini");
    case GameIni:
        return gameFile("UTGame.ini");
    case InputIni:
        return gameFile("UTInput.ini");
    case CustomFile:
        return customPath;
    }
    return {};
}

std::string IniBackupPath(IniTarget target) {
    return IniTargetPath(target) + ".bak";
}

bool IniTargetExists(IniTarget target) {
    return filestore::exists(filestore::toPath(IniTargetPath(target)));
}

std::string GetPersonalFolder() {
    return host.personalFolder ? withoutTrailingSeparator(host.personalFolder()) : std::string();
}

void InitIniDigest() {
    documentsFolder = GetPersonalFolder();
    // Backup and restore write the game files' ".bak" copies the same way.
    std::vector<std::filesystem::path> files{filestore::toPath(IniTargetPath(TweakFile))};
    for (IniTarget target : {EngineIni, GameIni, InputIni}) {
        files.push_back(filestore::toPath(IniTargetPath(target)));
        files.push_back(filestore::toPath(IniBackupPath(target)));
    }
    // A write that a crash or a power cut cut short is finished before anything is read.
    for (const filestore::journal::Unmatched& unmatched : filestore::journal::recover(files))
        showMessage("A change to \"" + filestore::pathText(unmatched.file) +
                    "\" was cut short when Knobwerk last ran, but the file has been changed since, so it was "
                    "left as it is. Its content from before that change is kept in \"" +
                    filestore::pathText(unmatched.keptAt) + "\".");
    for (const std::filesystem::path& file : files)
        filestore::removeStaleTemporaries(file);
    const std::string path = IniTargetPath(TweakFile);
    const std::filesystem::path file = filestore::toPath(path);
    if (filestore::exists(file))
        return;
    const std::string stamp = host.creationTimestamp ? host.creationTimestamp() : std::string();
    std::string content = initext::writeValue("", "General", "CreationDate", stamp);
    content = initext::writeValue(content, kTweakFileVersion.section, kTweakFileVersion.key,
                                  kTweakFileVersion.value);
    if (filestore::replaceFile(file, content))
        throw IniError(inifilewrite::unableToWrite(path));
}

void SetCustomIniPath(const std::string& path) {
    customPath = path;
}

void ResetIniErrors() {
    ErrorShown = false;
    missingTargets = 0;
}

bool IniTargetWentMissing(IniTarget target) {
    return (missingTargets & targetBit(target)) != 0;
}

std::string ReadIniString(IniTarget target, const std::string& section, const std::string& key) {
    return readWithDefault(target, section, key, "-1");
}

std::string ReadIniStringOrEmpty(IniTarget target, const std::string& section, const std::string& key) {
    return readWithDefault(target, section, key, "");
}

std::string ReadIniInteger(IniTarget target, const std::string& section, const std::string& key) {
    if (!OpenIni(target))
        return {};
    CloseOnExit close;
    std::string text;
    if (readOpenKey(section, key, text) == KeyRead::Unreadable) {
        reportReadError(section, key);
        return {};
    }
    return std::to_string(inivalues::parseInteger(text).value_or(0));
}

bool ReadIniBool(IniTarget target, const std::string& section, const std::string& key) {
    if (!OpenIni(target))
        return false;
    CloseOnExit close;
    std::string text;
    if (readOpenKey(section, key, text) != KeyRead::Found)
        text = "FALSE";
    return inivalues::parseBoolean(text, host.decimalSeparator);
}

std::string ReadPatchVersion() {
    if (!OpenIni(EngineIni))
        return {};
    CloseOnExit close;
    std::string text;
    switch (readOpenKey("IniVersion", "Patch", text)) {
    case KeyRead::Found:
        return text;
    case KeyRead::Missing:
        return "-1";
    case KeyRead::Unreadable:
        reportReadError("IniVersion", "Patch");
        return {};
    }
    return {};
}

void RequireRoomForWrites(IniTarget target, const std::vector<IniKeyWrite>& writes) {
    const std::string path = IniTargetPath(target);
    if (!filestore::exists(filestore::toPath(path)))
        return;
    std::error_code error;
    auto file = readFileText(path, error);
    if (error == std::errc::file_too_large)
        throw IniError(inifilewrite::tooLarge(path));
    if (!file)
        return; // the first write reports it
    // A write adds at most a heading and a key line: only a file near the limit has the
    // writes applied to be sure.
    std::size_t growth = 0;
    for (const IniKeyWrite& write : writes)
        growth += write.section.size() + write.key.size() + write.value.size() + 8;
    if (inifilewrite::fitsSizeLimit(file->text.size() + growth, file->encoding))
        return;
    std::string& text = file->text;
    for (const IniKeyWrite& write : writes)
        initext::setValue(text, write.section, write.key, write.value);
    if (!inifilewrite::fitsSizeLimit(text, file->encoding))
        throw IniError(inifilewrite::wouldGrow(path));
}

void RequireWritable(IniTarget target) {
    const std::string path = IniTargetPath(target);
    const std::filesystem::path file = filestore::toPath(path);
    if (!filestore::exists(file))
        return;
    const filestore::ReadResult read = filestore::readFile(file, kMaxIniFileSize);
    const bool refused = read.ok ? read.readOnly
                                 : read.error != std::errc::file_too_large &&
                                       read.error != filestore::FileError::KeepsChanging;
    if (refused)
        throw IniError("Unable to write to " + path);
}

void WriteIniString(IniTarget target, const std::string& section, const std::string& key,
                    const std::string& value) {
    writeKey(target, section, key, [&] { return value; });
}

void WriteIniBool(IniTarget target, const std::string& section, const std::string& key, bool value) {
    writeKey(target, section, key, [&] { return inivalues::booleanText(value); });
}

void WriteIniInteger(IniTarget target, const std::string& section, const std::string& key,
                     const std::string& value) {
    writeKey(target, section, key, [&] { return std::to_string(inivalues::toIntegerStrict(value)); });
}

IniWriteScope::IniWriteScope() {
    ++openWriteScopes;
}

IniWriteScope::~IniWriteScope() {
    // Reached without finish() only when an error is on its way: it is the one to show.
    if (openWriteScopes == 1) {
        try {
            pendingFiles.writeOut();
        } catch (...) {
        }
    }
    --openWriteScopes;
}

void IniWriteScope::finish() {
    if (openWriteScopes == 1)
        pendingFiles.writeOut();
}

void WriteInOneScope(const std::function<void()>& writes) {
    IniWriteScope scope;
    try {
        writes();
    } catch (...) {
        scope.finish();
        throw;
    }
    scope.finish();
}
