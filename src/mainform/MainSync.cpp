// Moving the settings between the window and the game files, row by row through the
// settings catalogue.
#include "mainform/MainForm.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniValues.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QLineEdit>

#include <map>
#include <vector>

void TMainform::LoadfromIni() {
    ResetIniErrors();
    const auto rows = settingsCatalogue();
    for (auto row = rows.begin(); row != rows.end(); ++row) {
        try {
            loadRow(*row);
        } catch (...) {
            // The rows from here on keep what they showed before the load, at start-up the
            // window's built-in values. A save or an export would write those over the
            // player's settings, so both refuse until every such row is set again.
            for (auto rest = row; rest != rows.end(); ++rest)
                m_unloaded.insert(rest->control);
            m_loadError = std::current_exception();
            throw;
        }
        settled(row->control);
    }
}

void TMainform::settled(std::string_view control) {
    m_unloaded.erase(control);
    if (m_unloaded.empty())
        m_loadError = nullptr;
}

void TMainform::requireLoadedValues() const {
    if (!m_unloaded.empty())
        std::rethrow_exception(m_loadError);
}

void TMainform::loadRow(const CatalogueRow& row) {
    const std::string section(row.section);
    const std::string key(row.key);
    switch (row.kind) {
    case ValueKind::Boolean:
        setBoxChecked(box(row), ReadIniBool(row.target, section, key));
        break;
    case ValueKind::Integer:
        field(row)->setText(fromIniText(ReadIniInteger(row.target, section, key)));
        break;
    case ValueKind::FloatText:
        field(row)->setText(fromIniText(ReadIniString(row.target, section, key)));
        break;
    case ValueKind::MovieText:
        // Movies play while the game's list is not empty.
        setBoxChecked(box(row), !ReadIniStringOrEmpty(row.target, section, key).empty());
        break;
    }
}

void TMainform::BtnLoadIniClick() {
    if (!confirmed(QStringLiteral("Load settings from INIs? Unsaved settings will be lost!")))
        return;
    LoadfromIni();
    m_dialogs.showMessage(QStringLiteral("Settings were loaded from Ini Files."));
}

void TMainform::BtnSaveClick() {
    // Refused before the question: no answer could make this save write the player's values.
    requireLoadedValues();
    if (!confirmed(QStringLiteral("Save this Settings? Existing Tweaks will be overwritten!")))
        return;
    ResetIniErrors();
    // A field that is no integer, or a file that the save would grow past the size
    // limit, would stop the save half-way, leaving the game files half old, half new:
    // refuse before anything is written.
    const auto gameTarget = [](const CatalogueRow& row) { return row.target; };
    requireIntegerFields(gameTarget);
    requireRoomInFiles(gameTarget);
    for (const IniWriteScope lastingAtEnd; const CatalogueRow& row : settingsCatalogue())
        writeRow(row.target, row);
    m_dialogs.showMessage(QStringLiteral("Settings were saved to Ini Files."));
}

void TMainform::requireIntegerFields(const std::function<IniTarget(const CatalogueRow&)>& targetOf) {
    for (const CatalogueRow& row : settingsCatalogue()) {
        // Rows of a missing file are skipped by the writes, so their text does not matter.
        if (row.kind == ValueKind::Integer && IniTargetExists(targetOf(row)))
            inivalues::toIntegerStrict(toIniText(field(row)->text()));
    }
}

void TMainform::requireRoomInFiles(const std::function<IniTarget(const CatalogueRow&)>& targetOf) {
    std::map<IniTarget, std::vector<IniKeyWrite>> writes;
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (!IniTargetExists(targetOf(row)))
            continue; // never written, whatever its control holds
        // Export writes its version mark into the tweak file before the settings.
        if (targetOf(row) == TweakFile && writes.find(TweakFile) == writes.end())
            writes[TweakFile].push_back({"General", "Version", "v1.0"});
        if (const std::optional<std::string> text = writtenText(row))
            writes[targetOf(row)].push_back({std::string(row.section), std::string(row.key), *text});
    }
    for (const auto& [target, keys] : writes)
        RequireRoomForWrites(target, keys);
}

std::optional<std::string> TMainform::writtenText(const CatalogueRow& row) const {
    switch (row.kind) {
    case ValueKind::Boolean:
        return inivalues::booleanText(box(row)->isChecked());
    case ValueKind::Integer:
        return std::to_string(inivalues::toIntegerStrict(toIniText(field(row)->text())));
    case ValueKind::FloatText:
        return toIniText(field(row)->text());
    case ValueKind::MovieText:
        if (box(row)->isChecked())
            return std::nullopt;
        return std::string();
    }
    return std::nullopt;
}

void TMainform::writeRow(IniTarget target, const CatalogueRow& row) {
    const std::string section(row.section);
    const std::string key(row.key);
    switch (row.kind) {
    case ValueKind::Boolean:
        WriteIniBool(target, section, key, box(row)->isChecked());
        break;
    case ValueKind::Integer:
        WriteIniInteger(target, section, key, toIniText(field(row)->text()));
        break;
    case ValueKind::FloatText:
        WriteIniString(target, section, key, toIniText(field(row)->text()));
        break;
    case ValueKind::MovieText:
        // Only a cleared box writes, and only the empty value: the game's movie list is
        // never destroyed by a box that says movies should play.
        if (!box(row)->isChecked())
            WriteIniString(target, section, key, "");
        break;
    }
}
