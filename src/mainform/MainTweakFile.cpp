// Export of all settings into Knobwerk.ini beside the program, and import of such a
// file, so that players can pass their tweaks to one another.
#include "mainform/MainForm.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>

#include <vector>

void TMainform::BtnExportClick() {
    requireLoadedValues();
    ResetIniErrors();
    // Refuse a field that is no integer, or a file the export would grow past the size
    // limit, before the first key is written.
    const auto tweakTarget = [](const CatalogueRow&) { return TweakFile; };
    requireIntegerFields(tweakTarget);
    requireRoomInFiles(tweakTarget);
    WriteIniString(TweakFile, "General", "Version", "v1.0");
    for (const IniWriteScope lastingAtEnd; const CatalogueRow& row : settingsCatalogue())
        writeRow(TweakFile, row);
    // A missing file was reported, so keys are missing from it: that is no success.
    if (IniTargetWentMissing(TweakFile))
        return;
    m_dialogs.showMessage(QStringLiteral("Settings were saved to Knobwerk.ini.\r\n"
                                         "You can share it with other people if you like,\r\n"
                                         "it only contains the tweak-settings. You can find\r\n"
                                         "it where your Knobwerk.exe is located."));
}

namespace {

// One value read from the file, before it goes into its control.
struct ImportedValue {
    const CatalogueRow* row;
    bool checked = false;
    QString text;
};

// Reads the 73 setting keys (all but the movie key) in catalogue order. A boolean that
// does not convert ends the reading; `error` then holds it.
std::vector<ImportedValue> readTweaks(std::exception_ptr& error) {
    std::vector<ImportedValue> values;
    try {
        for (const CatalogueRow& row : settingsCatalogue()) {
            const std::string section(row.section);
            const std::string key(row.key);
            switch (row.kind) {
            case ValueKind::Boolean:
                values.push_back({&row, ReadIniBool(CustomFile, section, key), {}});
                break;
            case ValueKind::Integer:
                values.push_back({&row, false, fromIniText(ReadIniInteger(CustomFile, section, key))});
                break;
            case ValueKind::FloatText:
                values.push_back({&row, false, fromIniText(ReadIniString(CustomFile, section, key))});
                break;
            case ValueKind::MovieText:
                break; // the movie box keeps its state
            }
        }
    } catch (const IniError&) {
        error = std::current_exception();
    }
    return values;
}

} // namespace

void TMainform::BtnImportClick() {
    const std::optional<QString> chosen = m_dialogs.chooseFileToOpen(QStringLiteral("Knobwerk.ini"));
    if (!chosen) {
        m_dialogs.showMessage(QStringLiteral("You have to choose a valid File!"));
        return;
    }
    if (!QFileInfo(*chosen).isFile()) {
        m_dialogs.showMessage(QStringLiteral("File could not be found."));
        return;
    }
    SetCustomIniPath(toPathText(*chosen));
    if (ReadIniStringOrEmpty(CustomFile, "General", "Version").empty()) {
        m_dialogs.showMessage(QStringLiteral("Not a valid Tweaksettings-File."));
        return;
    }
    ResetIniErrors();
    std::exception_ptr error;
    const std::vector<ImportedValue> values = readTweaks(error);
    // The file went away during the reads: the layer has reported it, and what was read
    // is partly its failure values; change nothing.
    if (IniTargetWentMissing(CustomFile))
        return;
    // A box re-marked as it changes may meet a game-file value that does not convert:
    // the import stops at that box, as it would at a bad key of its own.
    try {
        for (const ImportedValue& value : values) {
            if (value.row->kind == ValueKind::Boolean)
                setBoxChecked(box(*value.row), value.checked);
            else
                field(*value.row)->setText(value.text);
            settled(value.row->control);
        }
    } catch (const IniError&) {
        error = std::current_exception();
    }
    if (error) {
        // Stopped part-way: show why, then mark what now differs.
        guarded([&] { std::rethrow_exception(error); });
    } else {
        m_dialogs.showMessage(
            QStringLiteral("Settings were loaded from \"%1\".").arg(QFileInfo(*chosen).fileName()));
    }
    CycleAllChanges();
}
