#include "ui/ChangeMark.h"

#include <QCheckBox>

void showChangeMark(QCheckBox* box, bool changed) {
    QFont font = box->font();
    font.setBold(changed);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    box->setFont(font);
}
