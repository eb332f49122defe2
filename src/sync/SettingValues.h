#pragma once

#include <string>
#include <string_view>

// The values being edited, as the window holds them: one check box or one text per
// setting control, found by the control's name. Texts are in the game files' 8-bit form.
class SettingValues {
public:
    virtual ~SettingValues() = default;

    virtual bool checked(std::string_view control) const = 0;
    // A box whose state changes is re-marked at once against the game file; an error
    // of that marking is thrown from here and ends the caller's walk.
    virtual void setChecked(std::string_view control, bool checked) = 0;
    virtual std::string text(std::string_view control) const = 0;
    virtual void setText(std::string_view control, const std::string& text) = 0;
};
