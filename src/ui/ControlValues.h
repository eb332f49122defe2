#pragma once

#include "sync/SettingValues.h"
#include "ui/FormBuilder.h"

#include <QHash>

#include <functional>

class QCheckBox;

// The window's setting controls as the values the operations read and write. A box set
// to a new state from code runs its click handler, as a user's click would; that handler
// runs here rather than from the box's signal, so what it throws reaches the caller.
class ControlValues : public SettingValues {
public:
    explicit ControlValues(const ControlMap& controls);

    void setClickHandler(QCheckBox* box, std::function<void()> handler);
    // True while a box is being set from code: its signal is then no user's click.
    bool settingBox() const { return m_settingBox; }

    bool checked(std::string_view control) const override;
    void setChecked(std::string_view control, bool checked) override;
    std::string text(std::string_view control) const override;
    void setText(std::string_view control, const std::string& text) override;

private:
    template <class Control> Control* find(std::string_view name) const;

    const ControlMap& m_controls;
    QHash<QCheckBox*, std::function<void()>> m_clickHandlers;
    bool m_settingBox = false;
};
