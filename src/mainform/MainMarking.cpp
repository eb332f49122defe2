// Change marking: nothing is cached; every evaluation reads the game file.
#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/ChangeMark.h"
#include "ui/TextCodec.h"

#include <QCheckBox>

void TMainform::markCheckBox(QCheckBox* box) {
    showChangeMark(box, settingsync::differsFromGameFile(*m_values, box->objectName().toStdString()));
}

WalkResult TMainform::markAllChanges() {
    return settingsync::markChanges(*m_values, [this](std::string_view box, bool differs) {
        showChangeMark(control<QCheckBox>(fromTableText(box)), differs);
    });
}

void TMainform::CycleAllChanges() {
    showWalkError(markAllChanges());
}
