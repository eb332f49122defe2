#include "mainform/ControlValues.h"

#include "ui/TextCodec.h"

#include <QCheckBox>
#include <QLineEdit>

#include <stdexcept>

ControlValues::ControlValues(const ControlMap& controls, std::function<void(QCheckBox*, bool)> setBox)
    : m_controls(controls)
    , m_setBox(std::move(setBox)) {}

template <class Control> Control* ControlValues::find(std::string_view name) const {
    auto* control = qobject_cast<Control*>(m_controls.value(fromTableText(name)));
    if (!control)
        throw std::logic_error("the window has no control " + std::string(name) + " of that kind");
    return control;
}

bool ControlValues::checked(std::string_view control) const {
    return find<QCheckBox>(control)->isChecked();
}

void ControlValues::setChecked(std::string_view control, bool checked) {
    m_setBox(find<QCheckBox>(control), checked);
}

std::string ControlValues::text(std::string_view control) const {
    return toIniText(find<QLineEdit>(control)->text());
}

void ControlValues::setText(std::string_view control, const std::string& text) {
    find<QLineEdit>(control)->setText(fromIniText(text));
}
