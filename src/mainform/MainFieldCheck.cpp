// Numeric fields: text that is not a number of the field's kind is refused when the
// user leaves the field, and the text it had on entry comes back.
#include "mainform/MainForm.h"

#include "sync/ValueCodec.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QLineEdit>

void TMainform::numericFieldEnter(QLineEdit* field) {
    m_enteredText = field->text();
}

void TMainform::numericFieldExit(QLineEdit* field) {
    const CatalogueRow* row = findCatalogueRow(field->objectName().toStdString());
    const ValueCodec& codec = codecOf(row->kind);
    const std::string text = toIniText(field->text());
    // Text that does not fit the 8-bit code page cannot be a number either.
    if (codec.acceptsFieldText(text) && fromIniText(text) == field->text()) {
        // Only a field the player leaves holding new text of their own counts as set by
        // them; one left as it was entered keeps whatever it held before.
        if (field->text() != m_enteredText)
            m_stoppedLoad.settle(row->control);
        return;
    }
    m_dialogs.showMessage(fromTableText(codec.fieldRefusal()));
    field->setText(m_enteredText);
}
