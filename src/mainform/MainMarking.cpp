// Change marking: nothing is cached; every evaluation reads the game file.
#include "mainform/MainForm.h"

#include "inidigest/IniError.h"
#include "sync/SettingsSync.h"
#include "ui/ChangeMark.h"
#include "ui/TextCodec.h"

#include <QCheckBox>

#include <exception>

void TMainform::markCheckBox(QCheckBox* box) {
    showChangeMark(box, settingsync::differsFromGameFile(*m_values, box->objectName().toStdString()));
}

void TMainform::CycleAllChanges() {
    // A box whose game value does not convert keeps its mark; every other box is still
    // marked, and the first such error is thrown once the walk is done.
    std::exception_ptr firstError;
    for (std::string_view name : markingWalkOrder()) {
        try {
            markCheckBox(control<QCheckBox>(fromTableText(name)));
        } catch (const IniError&) {
            if (!firstError)
                firstError = std::current_exception();
        }
    }
    if (firstError)
        std::rethrow_exception(firstError);
}
