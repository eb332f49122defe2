#pragma once

#include "inidigest/IniTarget.h"

#include <span>
#include <string_view>

// How a setting's value is read, shown and written.
enum class ValueKind {
    Boolean,   // check box; "True"/"False" in the file
    Integer,   // edit field; plain decimal in the file
    FloatText, // edit field; the text passed through untouched
    MovieText, // the hidden movie box: [FullScreenMovie] StartupMovies
};

// One setting: the control that holds it and where it lives in the game files.
struct CatalogueRow {
    std::string_view control; // object name of the widget; equals the key except for the movie box
    IniTarget target;
    std::string_view section;
    std::string_view key;
    ValueKind kind;
};

// All 74 settings in load order, which is also the save and export order.
std::span<const CatalogueRow> settingsCatalogue();

const CatalogueRow* findCatalogueRow(std::string_view control);

// The 46 marked check boxes in the order in which a full marking walk evaluates them.
std::span<const std::string_view> markingWalkOrder();
