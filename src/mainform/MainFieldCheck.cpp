// Numeric fields: text that is not a number of the field's kind is refused when the
// user leaves the field, and the text it had on entry comes back.
#include "mainform/MainForm.h"

#include "inidigest/IniValues.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QLineEdit>

void TMainform::numericFieldEnter(QLineEdit* field) {
    m_enteredText = field->text();
}

void TMainform::numericFieldExit(QLineEdit* field) {
    const CatalogueRow* row = findCatalogueRow(field->objectName().toStdString());
    const std::string text = toIniText(field->text());
    const bool integer = row->kind == ValueKind::Integer;
    const bool valid = integer ? inivalues::parseInteger(text).has_value() : inivalues::isFloatText(text);
    // Text that does not fit the 8-bit code page cannot be a number either.
    if (valid && fromIniText(text) == field->text())
        return;
    m_dialogs.showMessage(integer ? QStringLiteral("Not a valid integer value!")
                                  : QStringLiteral("Not a valid float value!"));
    field->setText(m_enteredText);
}
