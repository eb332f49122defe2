// The four built-in value sets of the preset combo box.
#include "mainform/MainForm.h"

#include "inidigest/IniError.h"
#include "sync/SettingsSync.h"
#include "ui/UserDialogs.h"

#include <QComboBox>

#include <exception>
#include <iterator>

void TMainform::cbPresetsChange() {
    if (!confirmed(QStringLiteral("Load presets?\r\nAll unsaved changes will be lost!")))
        return;
    // The item the box shows now: a pick, or typed text that names an item exactly.
    auto* combo = control<QComboBox>(QStringLiteral("cbPresets"));
    const int picked = combo->findText(combo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    constexpr void (TMainform::*kPresets[])() = {&TMainform::PreSet0, &TMainform::PreSet1,
                                                 &TMainform::PreSet2, &TMainform::PreSet3};
    // A box whose game value does not convert stops neither the preset nor the walk: its
    // error is shown once, when every other box is marked.
    std::exception_ptr error;
    const auto keepFirstError = [&error](auto&& step) {
        try {
            step();
        } catch (const IniError&) {
            if (!error)
                error = std::current_exception();
        }
    };
    if (picked >= 0 && picked < static_cast<int>(std::size(kPresets)))
        keepFirstError([&] { (this->*kPresets[picked])(); });
    keepFirstError([this] { CycleAllChanges(); });
    if (error)
        std::rethrow_exception(error);
}

void TMainform::applyPreset(int index) {
    std::exception_ptr markingError;
    try {
        settingsync::applyPreset(*m_values, index, m_stoppedLoad);
    } catch (const IniError&) {
        markingError = std::current_exception(); // every value is set all the same
    }
    // Back to the invitation, with no item selected, so the same preset can be picked again.
    auto* combo = control<QComboBox>(QStringLiteral("cbPresets"));
    combo->setCurrentIndex(-1);
    combo->setEditText(QStringLiteral("Use presets"));
    if (markingError)
        std::rethrow_exception(markingError);
}
