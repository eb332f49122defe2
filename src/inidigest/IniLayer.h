#pragma once

#include "inidigest/IniTarget.h"
#include "platform/FileStore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The INI layer beyond its key operations (IniDigest.h): how it is set up, where its
// files lie, what a batch of writes checks before it starts, and the scope in which a
// batch is stored together.

// The game's own files are a few hundred kilobytes. Each key operation reads its file
// whole, so a file many times that size would freeze the window for minutes: it is
// refused rather than read, and no write makes a file larger. Backup and restore copy
// no larger file either.
constexpr std::uintmax_t kMaxIniFileSize = 8u * 1024 * 1024;

// What the layer needs from the program around it. Tests point it at temporary folders
// and record the messages instead of showing them.
struct IniHost {
    std::function<std::string()> personalFolder;         // the documents folder, or empty
    std::function<std::string()> executableFolder;       // the folder of the running program
    std::function<void(const std::string&)> showMessage; // a plain message box
    std::function<std::string()> creationTimestamp;      // now, as "dd.mm.yyyy, hh:nn:ss"
    char decimalSeparator = '.';                         // of the user's locale
};

// Puts the whole layer back as it is before start-up (no folder found, no custom path,
// nothing reported, nothing pending) and connects it to `host`.
void ResetIniLayer(IniHost host);

// Whether a key operation on `target` found its file missing since the last
// ResetIniErrors (reported or not: the report comes once per operation).
bool IniTargetWentMissing(IniTarget target);

// Opened by an operation that writes many keys. Within it each file is read once, at
// its first key, the keys written to it are applied to its text in the order they come,
// and it is replaced once, when the scope finishes: a crash leaves each file as it was
// before the operation or as it is after it. Reads see the keys written so far. The
// replacements are made to survive a power cut together, by one flush of each folder.
// A scope opened within another joins it.
class IniWriteScope {
public:
    IniWriteScope();
    // Writes what is still pending without reporting failures: call finish().
    ~IniWriteScope();
    IniWriteScope(const IniWriteScope&) = delete;
    IniWriteScope& operator=(const IniWriteScope&) = delete;

    // Writes each changed file. A file that cannot be written stops the writes at its
    // first key, as a write of each key at once would have: the other files keep only
    // the keys written before that one, and "Unable to write to" is thrown.
    void finish();

private:
    filestore::FolderFlushScope m_folders; // flushed after the files are written
};

// Runs `writes` in one IniWriteScope and finishes it, also when an error stops them; a
// file that cannot be written then stops them earlier, and its error is the one thrown.
void WriteInOneScope(const std::function<void()>& writes);

// One key that an operation is about to write.
struct IniKeyWrite {
    std::string section;
    std::string key;
    std::string value;
};

// The version mark of a tweak-settings file: written when the file is created and on
// every export, and what an import asks of a file it accepts.
inline const IniKeyWrite kTweakFileVersion{"General", "Version", "v1.0"};

// Throws before anything is written when these writes would make the target's file too
// large to be read again, so that an operation never stops half-way at the size limit.
// A missing or unreadable file passes: the writes themselves report it.
void RequireRoomForWrites(IniTarget target, const std::vector<IniKeyWrite>& writes);

// Throws "Unable to write to" the target's path before anything is written when its file
// is there but every write to it would be refused: read-only, or not readable as a file.
// A missing file passes (its writes are skipped), so do one too large (see
// RequireRoomForWrites) and one that another program is rewriting (the writes wait).
void RequireWritable(IniTarget target);

// The full path of a target as it would be opened now (empty for an unknown target).
// The game files lie in the folder found by InitIniDigest for the whole run.
std::string IniTargetPath(IniTarget target);

// The path of a game file's backup copy: its own path with ".bak" appended.
std::string IniBackupPath(IniTarget target);

// Whether the target's file exists now. Asks quietly: reports nothing.
bool IniTargetExists(IniTarget target);

// The game's configuration folder below a documents folder, with the platform's separator.
std::string GameConfigFolder(const std::string& documentsFolder);
