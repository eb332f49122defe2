// The four built-in value sets of the preset combo box.
#include "mainform/MainForm.h"

#include "settings/Presets.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

void TMainform::cbPresetsChange() {
    if (!confirmed(QStringLiteral("Load presets?\r\nAll unsaved changes will be lost!")))
        return;
    // The item the box shows now: a pick, or typed text that names an item exactly.
    auto* combo = control<QComboBox>(QStringLiteral("cbPresets"));
    switch (combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive)) {
    case 0:
        PreSet0();
        break;
    case 1:
        PreSet1();
        break;
    case 2:
        PreSet2();
        break;
    case 3:
        PreSet3();
        break;
    default:
        break;
    }
    CycleAllChanges();
}

void TMainform::PreSet0() {
    applyPreset(0);
}
void TMainform::PreSet1() {
    applyPreset(1);
}
void TMainform::PreSet2() {
    applyPreset(2);
}
void TMainform::PreSet3() {
    applyPreset(3);
}

void TMainform::applyPreset(int index) {
    for (const PresetCheckBox& entry : presetCheckBoxes()) {
        setBoxChecked(control<QCheckBox>(fromTableText(entry.control)),
                      entry.checked[static_cast<std::size_t>(index)]);
        settled(entry.control);
    }
    for (const PresetFieldText& entry : presetFieldTexts()) {
        control<QLineEdit>(fromTableText(entry.control))
            ->setText(fromTableText(entry.text[static_cast<std::size_t>(index)]));
        settled(entry.control);
    }
    // Back to the invitation, with no item selected, so the same preset can be picked again.
    auto* combo = control<QComboBox>(QStringLiteral("cbPresets"));
    combo->setCurrentIndex(-1);
    combo->setEditText(QStringLiteral("Use presets"));
}
