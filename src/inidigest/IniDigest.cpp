#include "inidigest/IniDigest.h"

#include "inidigest/IniEncoding.h"
#include "inidigest/IniError.h"
#include "inidigest/IniFileWrite.h"
#include "inidigest/IniLayer.h"
#include "inidigest/IniText.h"
#include "inidigest/IniValues.h"
#include "inidigest/PendingIniFiles.h"
#include "platform/FileStore.h"
#include "platform/RollbackJournal.h"

#include <optional>

namespace {

// What the current user operation has met, cleared together by ResetIniErrors.
struct OperationReport {
    // A message was shown: the later ones of the operation stay silent.
    bool ErrorShown = false;
    // The targets whose file was found missing, one bit each, reported or not.
    unsigned missingTargets = 0;
};

// Everything the layer keeps between calls, alive for the whole run.
struct LayerState {
    IniHost host;
    std::string documentsFolder; // found by InitIniDigest
    std::string customPath;
    // The one INI file a key operation works on, from OpenIni to CloseIni. The file is
    // read or replaced whole within the operation: what is held is its path, never a
    // handle that would lock the game out.
    std::optional<std::string> openFile;
    OperationReport report;
    // What the open IniWriteScopes have written and not yet stored.
    PendingIniFiles pendingFiles;
    int openWriteScopes = 0;
};

LayerState state;

unsigned targetBit(IniTarget target) {
    const int number = static_cast<int>(target);
    return number >= 0 && number < 32 ? 1u << number : 0u;
}

const std::string kSeparator(1, static_cast<char>(std::filesystem::path::preferred_separator));

std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder;
}

std::string gameFile(const char* name) {
    return GameConfigFolder(state.documentsFolder) + kSeparator + name;
}

void showMessage(const std::string& text) {
    if (state.host.showMessage)
        state.host.showMessage(text);
}

void reportOnce(const std::string& text) {
    if (!state.report.ErrorShown)
        showMessage(text);
    state.report.ErrorShown = true;
}

// Makes the target's file the open INI file when it exists; a missing file is reported
// once per operation.
bool OpenIni(IniTarget target) {
    std::string path = IniTargetPath(target);
    if (filestore::exists(filestore::toPath(path))) {
        state.openFile = std::move(path);
        return true;
    }
    state.report.missingTargets |= targetBit(target);
    reportOnce("The ini, expected in \"" + path + "\", could not be found or loaded.");
    return false;
}

void CloseIni() {
    state.openFile.reset();
}

// OpenIni for one key operation, CloseIni however it ends.
class OpenedIni {
public:
    explicit OpenedIni(IniTarget target)
        : m_open(OpenIni(target)) {}
    ~OpenedIni() {
        if (m_open)
            CloseIni();
    }
    OpenedIni(const OpenedIni&) = delete;
    OpenedIni& operator=(const OpenedIni&) = delete;
    explicit operator bool() const { return m_open; }
    const std::string& path() const { return *state.openFile; }

private:
    bool m_open;
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

struct KeyText {
    KeyRead read = KeyRead::Missing;
    std::string text; // empty unless found
};

KeyText readKeyAt(const std::string& path, const std::string& section, const std::string& key) {
    std::optional<std::string> found;
    if (const std::string* pending = state.pendingFiles.text(path)) {
        found = initext::readValue(*pending, section, key);
    } else {
        std::error_code error;
        const auto file = readFileText(path, error);
        if (!file) {
            if (error != std::errc::file_too_large)
                return {KeyRead::Unreadable, {}};
            reportOnce(inifilewrite::tooLarge(path));
            return {};
        }
        found = initext::readValue(file->text, section, key);
    }
    if (!found)
        return {};
    return {KeyRead::Found, *found};
}

// One key of the target's file; nullopt when the file is missing. A file too large to
// be a configuration file is reported once per operation and reads as a missing key.
std::optional<KeyText> readKey(IniTarget target, const std::string& section, const std::string& key) {
    const OpenedIni file(target);
    if (!file)
        return std::nullopt;
    return readKeyAt(file.path(), section, key);
}

std::string readWithDefault(IniTarget target, const std::string& section, const std::string& key,
                            const std::string& fallback) {
    const std::optional<KeyText> value = readKey(target, section, key);
    if (!value)
        return {};
    return value->read == KeyRead::Found ? value->text : fallback;
}

void reportReadError(const std::string& section, const std::string& key) {
    if (!state.report.ErrorShown)
        showMessage("An error occured while reading the key \"" + key + "\"\r\nfrom Section \"" + section +
                    "\".");
}

// One read-modify-write of the key. False when another program changed the file
// between the read and the replacement: nothing was written then.
bool tryWriteKeyAt(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
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

void writeKeyAt(const std::string& path, const std::string& section, const std::string& key,
                const std::string& value) {
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt)
        if (tryWriteKeyAt(path, section, key, value))
            return;
    throw IniError(inifilewrite::unableToWrite(path));
}

void writeKey(IniTarget target, const std::string& section, const std::string& key,
              const std::function<std::string()>& valueText) {
    const OpenedIni file(target);
    if (!file)
        return;
    const std::string value = valueText();
    if (state.openWriteScopes > 0)
        state.pendingFiles.write(file.path(), section, key, value);
    else
        writeKeyAt(file.path(), section, key, value);
}

} // namespace

void ResetIniLayer(IniHost host) {
    state = LayerState{};
    state.host = std::move(host);
}

std::string GameConfigFolder(const std::string& documents) {
    return documents + kSeparator + "My Games" + kSeparator + "Unreal Tournament 3" + kSeparator + "UTGame" +
           kSeparator + "Config";
}

std::string IniTargetPath(IniTarget target) {
    switch (target) {
    case TweakFile:
        return (state.host.executableFolder ? state.host.executableFolder() : std::string()) + kSeparator +
               "Knobwerk.ini";
    case EngineIni:
        return gameFile("UTEngine.ini");
    case GameIni:
        return gameFile("UTGame.ini");
    case InputIni:
        return gameFile("UTInput.ini");
    case CustomFile:
        return state.customPath;
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
    return state.host.personalFolder ? withoutTrailingSeparator(state.host.personalFolder()) : std::string();
}

void InitIniDigest() {
    state.documentsFolder = GetPersonalFolder();
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
    const std::string stamp = state.host.creationTimestamp ? state.host.creationTimestamp() : std::string();
    std::string content = initext::writeValue("", "General", "CreationDate", stamp);
    content = initext::writeValue(content, kTweakFileVersion.section, kTweakFileVersion.key,
                                  kTweakFileVersion.value);
    if (filestore::replaceFile(file, content))
        throw IniError(inifilewrite::unableToWrite(path));
}

void SetCustomIniPath(const std::string& path) {
    state.customPath = path;
}

void ResetIniErrors() {
    state.report = {};
}

bool IniTargetWentMissing(IniTarget target) {
    return (state.report.missingTargets & targetBit(target)) != 0;
}

std::string ReadIniString(IniTarget target, const std::string& section, const std::string& key) {
    return readWithDefault(target, section, key, "-1");
}

std::string ReadIniStringOrEmpty(IniTarget target, const std::string& section, const std::string& key) {
    return readWithDefault(target, section, key, "");
}

std::string ReadIniInteger(IniTarget target, const std::string& section, const std::string& key) {
    const std::optional<KeyText> value = readKey(target, section, key);
    if (!value)
        return {};
    if (value->read == KeyRead::Unreadable) {
        reportReadError(section, key);
        return {};
    }
    return std::to_string(inivalues::parseInteger(value->text).value_or(0));
}

bool ReadIniBool(IniTarget target, const std::string& section, const std::string& key) {
    const std::optional<KeyText> value = readKey(target, section, key);
    if (!value)
        return false;
    return inivalues::parseBoolean(value->read == KeyRead::Found ? value->text : "FALSE",
                                   state.host.decimalSeparator);
}

std::string ReadPatchVersion() {
    const std::optional<KeyText> value = readKey(EngineIni, "IniVersion", "Patch");
    if (!value)
        return {};
    switch (value->read) {
    case KeyRead::Found:
        return value->text;
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
        throw IniError(inifilewrite::unableToWrite(path));
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
    ++state.openWriteScopes;
}

IniWriteScope::~IniWriteScope() {
    // Reached without finish() only when an error is on its way: it is the one to show.
    if (state.openWriteScopes == 1) {
        try {
            state.pendingFiles.writeOut();
        } catch (...) {
        }
    }
    --state.openWriteScopes;
}

void IniWriteScope::finish() {
    if (state.openWriteScopes == 1)
        state.pendingFiles.writeOut();
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
