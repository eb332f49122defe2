#include "inidigest/IniDigest.h"

#include "inidigest/IniEncoding.h"
#include "inidigest/IniError.h"
#include "inidigest/IniText.h"
#include "inidigest/IniValues.h"
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

std::string tooLargeMessage(const std::string& path) {
    return "The ini \"" + path + "\" is larger than 8 MB and cannot be a configuration file.";
}

std::string wouldGrowMessage(const std::string& path) {
    return "The ini \"" + path + "\" would grow larger than 8 MB; nothing was written.";
}

// What a write learns from its read besides the text.
struct ReadVersion {
    filestore::FileStamp stamp;
    bool readOnly = false;
};

// The file's text, decoded; nullopt when it cannot be read (`error` says why). With
// `version`, for a write: which version of the file was read.
std::optional<iniencoding::DecodedFile> readFileText(const std::string& path, std::error_code& error,
                                                     ReadVersion* version = nullptr) {
    // A write must start from a version that another program has finished writing.
    const std::filesystem::path onDisk = filestore::toPath(path);
    filestore::ReadResult file = version ? filestore::readSettledFile(onDisk, kMaxIniFileSize)
                                         : filestore::readFile(onDisk, kMaxIniFileSize);
    error = file.error;
    if (!file.ok)
        return std::nullopt;
    if (version)
        *version = {file.stamp, file.readOnly};
    return iniencoding::decode(std::move(file.bytes));
}

std::optional<iniencoding::DecodedFile> readOpenFile(std::error_code& error, ReadVersion* version = nullptr) {
    return readFileText(openIni->path, error, version);
}

enum class KeyRead { Found, Missing, Unreadable };

// Reads the key from the open file into `value`. A file too large to be a configuration
// file is reported once per operation and reads as a missing key.
KeyRead readOpenKey(const std::string& section, const std::string& key, std::string& value) {
    std::error_code error;
    const auto file = readOpenFile(error);
    if (!file) {
        if (error != std::errc::file_too_large)
            return KeyRead::Unreadable;
        if (!ErrorShown)
            showMessage(tooLargeMessage(openIni->path));
        ErrorShown = true;
        return KeyRead::Missing;
    }
    const std::optional<std::string> found = initext::readValue(file->text, section, key);
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
    std::error_code error;
    ReadVersion version;
    const auto old = readOpenFile(error, &version);
    if (error == filestore::FileError::KeepsChanging)
        return false;
    if (!old)
        throw IniError(error == std::errc::file_too_large ? tooLargeMessage(path)
                                                          : "Unable to write to " + path);
    // Refused even when the value is already there: a read-only file is the player's
    // protection against changes, and the save says so at its first key.
    if (version.readOnly)
        throw IniError("Unable to write to " + path);
    const std::string updated = initext::writeValue(old->text, section, key, value);
    if (updated == old->text)
        return true;
    // A UTF-16 file stays UTF-16: 8-bit text is never written into it.
    const std::string bytes = iniencoding::encode(updated, old->encoding);
    if (bytes.size() > kMaxIniFileSize)
        throw IniError(wouldGrowMessage(path));
    // Replaced only if it is still the version read: the game or an editor may rewrite
    // the file in place meanwhile, and what was read may have been half of its write.
    error = filestore::replaceFile(filestore::toPath(path), bytes, &version.stamp);
    if (error == filestore::FileError::KeepsChanging)
        return false;
    if (error)
        throw IniError("Unable to write to " + path);
    return true;
}

void writeOpenKey(const std::string& section, const std::string& key, const std::string& value) {
    const std::string& path = openIni->path;
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt)
        if (tryWriteOpenKey(section, key, value))
            return;
    throw IniError("Unable to write to " + path);
}

void writeKey(IniTarget target, const std::string& section, const std::string& key,
              const std::function<std::string()>& valueText) {
    if (!OpenIni(target))
        return;
    CloseOnExit close;
    writeOpenKey(section, key, valueText());
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
        throw IniError("Unable to write to " + path);
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
    const auto file = readFileText(path, error);
    if (error == std::errc::file_too_large)
        throw IniError(tooLargeMessage(path));
    if (!file)
        return; // the first write reports it
    std::string text = file->text;
    for (const IniKeyWrite& write : writes)
        text = initext::writeValue(text, write.section, write.key, write.value);
    if (iniencoding::encode(text, file->encoding).size() > kMaxIniFileSize)
        throw IniError(wouldGrowMessage(path));
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
