// Change marking: nothing is cached; every evaluation reads the game file.
#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/ChangeMark.h"
#include "ui/TextCodec.h"

#include <QCheckBox>

void TMainform::markCheckBox(QCheckBox* box) {
    showChangeMark(box, settingsync::differsFromGameFile(*m_values, box->objectName().toStdString()));
}

void TMainform::CycleAllChanges() {
    for (std::string_view name : markingWalkOrder())
        markCheckBox(control<QCheckBox>(fromTableText(name)));
}
