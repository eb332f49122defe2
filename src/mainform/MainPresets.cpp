// The four built-in value sets of the preset combo box.
#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/UserDialogs.h"

#include <QComboBox>

#include <iterator>

void TMainform::cbPresetsChange() {
    if (!confirmed(QStringLiteral("Load presets?\r\nAll unsaved changes will be lost!")))
        return;
    // The item the box shows now: a pick, or typed text that names an item exactly.
    auto* combo = control<QComboBox>(QStringLiteral("cbPresets"));
    const int picked = combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    constexpr void (TMainform::*kPresets[])() = {&TMainform::PreSet0, &TMainform::PreSet1,
                                                 &TMainform::PreSet2, &TMainform::PreSet3};
    if (picked >= 0 && picked < static_cast<int>(std::size(kPresets)))
        (this->*kPresets[picked])();
    CycleAllChanges();
}

void TMainform::applyPreset(int index) {
    settingsync::applyPreset(*m_values, index, m_stoppedLoad);
    // Back to the invitation, with no item selected, so the same preset can be picked again.
    auto* combo = control<QComboBox>(QStringLiteral("cbPresets"));
    combo->setCurrentIndex(-1);
    combo->setEditText(QStringLiteral("Use presets"));
}
