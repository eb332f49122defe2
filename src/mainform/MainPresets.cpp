#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/UserDialogs.h"

#include <QComboBox>

void TMainform::cbPresetsChange() {
    if (!confirmed(QStringLiteral("Load presets?\r\nAll unsaved changes will be lost!")))
        return;
    // The item the box shows now: a pick, or typed text that names an item exactly.
    auto* combo = control<QComboBox>(QStringLiteral("cbPresets"));
    const int picked = combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    constexpr int kPresets = 4;
    // A box whose game value does not convert stops neither the preset nor the walk: its
    // error is shown once, when every other box is marked.
    WalkResult result;
    if (picked >= 0 && picked < kPresets)
        result = applyPreset(picked);
    const WalkResult marked = markAllChanges();
    showWalkError(result.error.empty() ? marked : result);
}

WalkResult TMainform::applyPreset(int index) {
    const WalkResult result = settingsync::applyPreset(*m_values, index, m_stoppedLoad);
    // Back to the invitation, with no item selected, so the same preset can be picked again.
    auto* combo = control<QComboBox>(QStringLiteral("cbPresets"));
    combo->setCurrentIndex(-1);
    combo->setEditText(QStringLiteral("Use presets"));
    return result;
}
