// Moving the settings between the window and the game files, row by row through the
// settings catalogue.
#include "MainForm.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniValues.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QLineEdit>

void TMainform::LoadfromIni() {
    ResetIniErrors();
    for (const CatalogueRow& row : settingsCatalogue())
        loadRow(row);
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
    if (!confirmed(QStringLiteral("Save this Settings? Existing Tweaks will be overwritten!")))
        return;
    ResetIniErrors();
    // A field that is no integer would stop the save half-way, leaving the game files
    // half old, half new: refuse before anything is written.
    requireIntegerFields([](const CatalogueRow& row) { return row.target; });
    for (const CatalogueRow& row : settingsCatalogue())
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
