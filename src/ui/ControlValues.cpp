#include "ui/ControlValues.h"

#include "ui/TextCodec.h"

#include <QCheckBox>
#include <QLineEdit>

#include <stdexcept>

ControlValues::ControlValues(const ControlMap& controls)
    : m_controls(controls) {}

void ControlValues::setClickHandler(QCheckBox* box, std::function<void()> handler) {
    m_clickHandlers.insert(box, std::move(handler));
}

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
    QCheckBox* box = find<QCheckBox>(control);
    if (box->isChecked() == checked)
        return; // no change, no click
    m_settingBox = true;
    box->setChecked(checked);
    m_settingBox = false;
    if (const auto click = m_clickHandlers.constFind(box); click != m_clickHandlers.constEnd())
        (*click)();
}

std::string ControlValues::text(std::string_view control) const {
    return toIniText(find<QLineEdit>(control)->text());
}

void ControlValues::setText(std::string_view control, const std::string& text) {
    find<QLineEdit>(control)->setText(fromIniText(text));
}
