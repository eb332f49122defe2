#include "sync/SettingsSync.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniLayer.h"
#include "platform/FileStore.h"
#include "settings/Presets.h"
#include "sync/ValueCodec.h"

#include <filesystem>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace settingsync {

namespace {

using FileOf = IniTarget (*)(const CatalogueRow&);

IniTarget gameFileOf(const CatalogueRow& row) {
    return row.target;
}

IniTarget tweakFileOf(const CatalogueRow&) {
    return TweakFile;
}

bool anyGameFileWentMissing() {
    return IniTargetWentMissing(EngineIni) || IniTargetWentMissing(GameIni) || IniTargetWentMissing(InputIni);
}

// Rows of a missing file are never written: what their controls hold does not matter.
void requireWholeWrite(const SettingValues& values, const StoppedLoad& stopped, FileOf fileOf) {
    std::map<IniTarget, std::vector<IniKeyWrite>> writes;
    std::map<IniTarget, bool> exists; // asked once per file, not once per row
    for (const CatalogueRow& row : settingsCatalogue()) {
        const IniTarget file = fileOf(row);
        const auto known = exists.try_emplace(file, false);
        if (known.second)
            known.first->second = IniTargetExists(file);
        if (!known.first->second || stopped.unread(row.control))
            continue;
        // Export writes its version mark into the tweak file before the settings.
        if (file == TweakFile && writes.find(TweakFile) == writes.end())
            writes[TweakFile].push_back(kTweakFileVersion);
        if (const std::optional<std::string> text = codecOf(row.kind).writtenText(values, row))
            writes[file].push_back({std::string(row.section), std::string(row.key), *text});
    }
    for (const auto& [file, keys] : writes) {
        RequireWritable(file);
        RequireRoomForWrites(file, keys);
    }
}

// Within the caller's write scope: each file is replaced once, when the walk ends.
void writeAll(const SettingValues& values, const StoppedLoad& stopped, FileOf fileOf) {
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (!stopped.unread(row.control))
            codecOf(row.kind).write(fileOf(row), row, values);
    }
}

} // namespace

WalkResult loadFromGameFiles(SettingValues& values, StoppedLoad& stopped) {
    ResetIniErrors();
    WalkResult result;
    const auto rows = settingsCatalogue();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CatalogueRow& row = rows[i];
        const ValueCodec& codec = codecOf(row.kind);
        try {
            codec.show(values, row, codec.read(row.target, row));
        } catch (const std::exception& error) {
            const std::string path = IniTargetPath(row.target);
            const std::string value =
                ReadIniStringOrEmpty(row.target, std::string(row.section), std::string(row.key));
            stopped.stopAt(rows.subspan(i), filestore::pathText(filestore::toPath(path).filename()), value,
                           error.what());
            result.error = error.what();
            break;
        }
        stopped.settle(row.control);
    }
    result.fileWentMissing = anyGameFileWentMissing();
    return result;
}

WalkResult saveToGameFiles(const SettingValues& values, const StoppedLoad& stopped) {
    ResetIniErrors();
    WalkResult result = walkUntilError([&] {
        requireWholeWrite(values, stopped, gameFileOf);
        WriteInOneScope([&] { writeAll(values, stopped, gameFileOf); });
    });
    result.fileWentMissing = anyGameFileWentMissing();
    return result;
}

WalkResult exportToTweakFile(const SettingValues& values, const StoppedLoad& stopped) {
    WalkResult refused;
    refused.refusal = stopped.exportRefusal();
    if (!refused.refusal.empty())
        return refused;
    ResetIniErrors();
    WalkResult result = walkUntilError([&] {
        requireWholeWrite(values, stopped, tweakFileOf);
        WriteInOneScope([&] {
            WriteIniString(TweakFile, kTweakFileVersion.section, kTweakFileVersion.key,
                           kTweakFileVersion.value);
            writeAll(values, stopped, tweakFileOf);
        });
    });
    result.fileWentMissing = IniTargetWentMissing(TweakFile);
    return result;
}

bool differsFromGameFile(const SettingValues& values, std::string_view box) {
    const CatalogueRow* row = findCatalogueRow(box);
    if (!row)
        throw std::logic_error("no setting named " + std::string(box));
    const bool stored = ReadIniBool(row->target, std::string(row->section), std::string(row->key));
    return values.checked(box) != stored;
}

WalkResult applyPreset(SettingValues& values, int index, StoppedLoad& stopped) {
    const auto column = static_cast<std::size_t>(index);
    WalkResult result;
    for (const PresetCheckBox& entry : presetCheckBoxes()) {
        stopped.settle(entry.control);
        keepFirstError(result, [&] { values.setChecked(entry.control, entry.checked.at(column)); });
    }
    for (const PresetFieldText& entry : presetFieldTexts()) {
        values.setText(entry.control, std::string(entry.text.at(column)));
        stopped.settle(entry.control);
    }
    return result;
}

WalkResult markChanges(const SettingValues& values,
                       const std::function<void(std::string_view box, bool differs)>& mark) {
    WalkResult result;
    for (std::string_view box : markingWalkOrder())
        keepFirstError(result, [&] { mark(box, differsFromGameFile(values, box)); });
    return result;
}

TweakFileCheck chooseTweakFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(filestore::toPath(path), error))
        return TweakFileCheck::NotFound;
    SetCustomIniPath(path);
    if (ReadIniStringOrEmpty(CustomFile, kTweakFileVersion.section, kTweakFileVersion.key).empty())
        return TweakFileCheck::NotATweakFile;
    return TweakFileCheck::Accepted;
}

WalkResult importTweakFile(SettingValues& values, StoppedLoad& stopped) {
    ResetIniErrors();
    std::vector<std::pair<const CatalogueRow*, ReadValue>> read;
    WalkResult result = walkUntilError([&] {
        for (const CatalogueRow& row : settingsCatalogue()) {
            if (codecOf(row.kind).imported())
                read.emplace_back(&row, codecOf(row.kind).read(CustomFile, row));
        }
    });
    // What was read from a file that went away is partly its failure values.
    result.fileWentMissing = IniTargetWentMissing(CustomFile);
    if (result.fileWentMissing)
        return result;
    // A box re-marked as it changes may meet a game-file value that does not convert:
    // the import stops at that box, as it would at a bad key of its own.
    const WalkResult shown = walkUntilError([&] {
        for (const auto& [row, value] : read) {
            stopped.settle(row->control); // set now, even if its marking then fails
            codecOf(row->kind).show(values, *row, value);
        }
    });
    if (!shown.error.empty())
        result.error = shown.error;
    return result;
}

} // namespace settingsync
