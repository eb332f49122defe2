// Change marking: a check box's caption is bold while the box differs from the value
// stored in the game file. Nothing is cached; every evaluation reads the file.
#include "mainform/MainForm.h"

#include "inidigest/IniDigest.h"
#include "ui/TextCodec.h"

#include <QCheckBox>

void TMainform::markCheckBox(QCheckBox* box) {
    const std::string key = box->objectName().toStdString();
    const CatalogueRow* row = findCatalogueRow(key);
    const bool stored = ReadIniBool(row->target, std::string(row->section), key);
    // Exactly {bold} or no style at all; face, size and colour stay.
    QFont font = box->font();
    font.setBold(box->isChecked() != stored);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    box->setFont(font);
}

void TMainform::CycleAllChanges() {
    for (std::string_view name : markingWalkOrder())
        markCheckBox(control<QCheckBox>(fromTableText(name)));
}
