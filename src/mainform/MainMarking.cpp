// Change marking: a check box's caption is bold while the box differs from the value
// stored in the game file. Nothing is cached; every evaluation reads the file.
#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/TextCodec.h"

#include <QCheckBox>

void TMainform::markCheckBox(QCheckBox* box) {
    const bool differs = settingsync::differsFromGameFile(*m_values, box->objectName().toStdString());
    // Exactly {bold} or no style at all; face, size and colour stay.
    QFont font = box->font();
    font.setBold(differs);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    box->setFont(font);
}

void TMainform::CycleAllChanges() {
    for (std::string_view name : markingWalkOrder())
        markCheckBox(control<QCheckBox>(fromTableText(name)));
}
