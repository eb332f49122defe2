#pragma once

#include <array>
#include <span>
#include <string_view>

constexpr int kPresetCount = 4;

struct PresetCheckBox {
    std::string_view control;
    std::array<bool, kPresetCount> checked;
};

struct PresetFieldText {
    std::string_view control;
    std::array<std::string_view, kPresetCount> text;
};

// The list items of the preset combo box, stored exactly as shown (two are cut at 29 characters).
std::span<const std::string_view> presetListItems();

// The 47 check boxes, in the order a preset sets them.
std::span<const PresetCheckBox> presetCheckBoxes();

// The 27 edit fields, set after the check boxes, in this order.
std::span<const PresetFieldText> presetFieldTexts();
