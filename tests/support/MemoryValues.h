#pragma once

#include "settings/Catalogue.h"
#include "sync/SettingValues.h"

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// The values of all 74 settings in plain maps, as the window's controls would hold them:
// every box cleared, every text empty. A name that is no setting is a test error.
class MemoryValues : public SettingValues {
private:
    template <class Map> static auto& at(Map& map, std::string_view control) {
        const auto found = map.find(control);
        if (found == map.end())
            throw std::logic_error("no setting named " + std::string(control));
        return found->second;
    }

public:
    MemoryValues() {
        for (const CatalogueRow& row : settingsCatalogue()) {
            boxes[std::string(row.control)] = false;
            texts[std::string(row.control)] = "";
        }
    }

    bool checked(std::string_view control) const override { return at(boxes, control); }
    void setChecked(std::string_view control, bool checked) override {
        bool& box = at(boxes, control);
        if (box == checked)
            return;
        box = checked;
        changed.emplace_back(control);
        if (onChange)
            onChange(control);
    }
    std::string text(std::string_view control) const override { return at(texts, control); }
    void setText(std::string_view control, const std::string& text) override { at(texts, control) = text; }

    std::map<std::string, bool, std::less<>> boxes;
    std::map<std::string, std::string, std::less<>> texts;
    std::vector<std::string> changed; // boxes whose state changed, in order
    // Runs after a box changed, as the window's marking does; may throw.
    std::function<void(std::string_view)> onChange;
};
