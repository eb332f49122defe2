#pragma once

#include "sync/SettingValues.h"
#include "ui/FormBuilder.h"

#include <functional>

class QCheckBox;

// The window's setting controls as the values the operations read and write.
class ControlValues : public SettingValues {
public:
    // `setBox` sets a box from code and runs its click handler when its state changes, as
    // a user's click would; what that handler throws reaches the caller.
    ControlValues(const ControlMap& controls, std::function<void(QCheckBox*, bool)> setBox);

    bool checked(std::string_view control) const override;
    void setChecked(std::string_view control, bool checked) override;
    std::string text(std::string_view control) const override;
    void setText(std::string_view control, const std::string& text) override;

private:
    template <class Control> Control* find(std::string_view name) const;

    const ControlMap& m_controls;
    std::function<void(QCheckBox*, bool)> m_setBox;
};
