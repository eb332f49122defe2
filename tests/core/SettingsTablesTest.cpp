#include "settings/Catalogue.h"
#include "settings/Descriptions.h"
#include "settings/Presets.h"
#include "sync/ValueCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

bool isCheckBoxKind(ValueKind kind) {
    return kind == ValueKind::Boolean || kind == ValueKind::MovieText;
}

bool isEditKind(ValueKind kind) {
    return kind == ValueKind::Integer || kind == ValueKind::FloatText;
}

// Controls of the catalogue rows that satisfy the predicate, each name counted as often as it occurs.
template <typename Pred> std::multiset<std::string_view> catalogueControls(Pred pred) {
    std::multiset<std::string_view> names;
    for (const CatalogueRow& row : settingsCatalogue())
        if (pred(row))
            names.insert(row.control);
    return names;
}

} // namespace

TEST(SettingsCatalogue, CountsPerKindAndFile) {
    const auto rows = settingsCatalogue();
    ASSERT_EQ(rows.size(), 74u);

    std::map<ValueKind, int> perKind;
    std::map<IniTarget, int> perFile;
    for (const CatalogueRow& row : rows) {
        ++perKind[row.kind];
        ++perFile[row.target];
    }
    EXPECT_EQ(perKind[ValueKind::Boolean], 46);
    EXPECT_EQ(perKind[ValueKind::Integer], 15);
    EXPECT_EQ(perKind[ValueKind::FloatText], 12);
    EXPECT_EQ(perKind[ValueKind::MovieText], 1);

    EXPECT_EQ(perFile[EngineIni], 55);
    EXPECT_EQ(perFile[GameIni], 18);
    EXPECT_EQ(perFile[InputIni], 1);
    EXPECT_EQ(perFile.count(TweakFile), 0u) << "no setting lives in the program's own file";
    EXPECT_EQ(perFile.count(CustomFile), 0u);
}

TEST(SettingsCatalogue, ControlNamesAreUniqueAndFindable) {
    std::set<std::string_view> seen;
    for (const CatalogueRow& row : settingsCatalogue()) {
        EXPECT_TRUE(seen.insert(row.control).second) << "duplicate control " << row.control;
        const CatalogueRow* found = findCatalogueRow(row.control);
        ASSERT_NE(found, nullptr) << row.control;
        EXPECT_EQ(found, &row) << "lookup must hand back the table's own row";
    }
    EXPECT_EQ(findCatalogueRow(""), nullptr);
    EXPECT_EQ(findCatalogueRow("bshowhud"), nullptr) << "names are matched letter case and all";
    EXPECT_EQ(findCatalogueRow("StartupMovies"), nullptr) << "the movie row is found by its control only";
    EXPECT_EQ(findCatalogueRow("Label13"), nullptr);
}

TEST(SettingsCatalogue, KeyIsTheControlNameExceptForTheMovieBox) {
    int movieRows = 0;
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (row.kind == ValueKind::MovieText) {
            ++movieRows;
            EXPECT_EQ(row.control, "bPlayMoviez");
            EXPECT_EQ(row.target, EngineIni);
            EXPECT_EQ(row.section, "FullScreenMovie");
            EXPECT_EQ(row.key, "StartupMovies");
        } else {
            EXPECT_EQ(row.key, row.control);
        }
    }
    EXPECT_EQ(movieRows, 1);
}

TEST(SettingsCatalogue, SectionsAndKeysAreBareNames) {
    // A section copied with its brackets, or a stray blank, would silently address another section.
    for (const CatalogueRow& row : settingsCatalogue()) {
        EXPECT_FALSE(row.section.empty()) << row.control;
        EXPECT_FALSE(row.key.empty()) << row.control;
        EXPECT_EQ(row.section.find_first_of("[] \t="), std::string_view::npos) << row.control;
        EXPECT_EQ(row.key.find_first_of("[] \t="), std::string_view::npos) << row.control;
    }
}

TEST(SettingsCatalogue, CheckBoxesComeBeforeEditFields) {
    const auto rows = settingsCatalogue();
    const auto firstEdit =
        std::find_if(rows.begin(), rows.end(), [](const CatalogueRow& row) { return isEditKind(row.kind); });
    ASSERT_NE(firstEdit, rows.end());
    EXPECT_EQ(firstEdit - rows.begin(), 47);
    EXPECT_TRUE(
        std::all_of(rows.begin(), firstEdit, [](const CatalogueRow& r) { return isCheckBoxKind(r.kind); }));
    EXPECT_TRUE(std::all_of(firstEdit, rows.end(), [](const CatalogueRow& r) { return isEditKind(r.kind); }));
}

TEST(MarkingWalk, VisitsEveryBooleanRowExactlyOnce) {
    const auto walk = markingWalkOrder();
    ASSERT_EQ(walk.size(), 46u);
    const std::multiset<std::string_view> walked(walk.begin(), walk.end());
    const auto booleans =
        catalogueControls([](const CatalogueRow& row) { return row.kind == ValueKind::Boolean; });
    EXPECT_EQ(walked, booleans);
    EXPECT_EQ(walked.count("bPlayMoviez"), 0u);

    const CatalogueRow* viewAcceleration = findCatalogueRow("bViewAccelerationEnabled");
    ASSERT_NE(viewAcceleration, nullptr);
    EXPECT_EQ(viewAcceleration->target, GameIni);
}

TEST(MarkingWalk, TakesEachSectionInOneRun) {
    // The walk goes section by section: once it leaves a (file, section) pair it never returns to it.
    std::set<std::pair<IniTarget, std::string_view>> finished;
    std::pair<IniTarget, std::string_view> current{TweakFile, {}};
    std::map<IniTarget, int> perFile;
    for (std::string_view control : markingWalkOrder()) {
        const CatalogueRow* row = findCatalogueRow(control);
        ASSERT_NE(row, nullptr) << control;
        ++perFile[row->target];
        const std::pair<IniTarget, std::string_view> here{row->target, row->section};
        if (here != current) {
            EXPECT_TRUE(finished.insert(here).second)
                << control << " reopens [" << row->section << "] after the walk had left it";
            current = here;
        }
    }
    EXPECT_EQ(finished.size(), 11u);
    EXPECT_EQ(perFile[EngineIni], 34);
    EXPECT_EQ(perFile[GameIni], 12);
    EXPECT_EQ(perFile.count(InputIni), 0u);
}

TEST(Presets, ListItemsAreDistinctAndTheFirstTwoAreCut) {
    const auto items = presetListItems();
    ASSERT_EQ(items.size(), static_cast<size_t>(kPresetCount));
    EXPECT_EQ(std::set<std::string_view>(items.begin(), items.end()).size(), items.size());
    EXPECT_EQ(items[0].size(), 29u);
    EXPECT_EQ(items[1].size(), 29u);
    for (std::string_view item : items)
        EXPECT_EQ(item.find_first_of("\r\n"), std::string_view::npos) << item;
}

TEST(Presets, CoverEveryCheckBoxAndEveryEditFieldOnce) {
    std::multiset<std::string_view> boxes;
    for (const PresetCheckBox& box : presetCheckBoxes())
        boxes.insert(box.control);
    std::multiset<std::string_view> fields;
    for (const PresetFieldText& field : presetFieldTexts())
        fields.insert(field.control);
    const struct {
        const std::multiset<std::string_view>& covered;
        bool (*ofKind)(ValueKind);
        std::size_t count;
    } cases[] = {{boxes, isCheckBoxKind, 47u}, {fields, isEditKind, 27u}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.covered.size(), c.count);
        EXPECT_EQ(c.covered, catalogueControls([&](const CatalogueRow& row) { return c.ofKind(row.kind); }));
    }
}

TEST(Presets, FieldTextsAreValidNumbersOfTheirFieldsKind) {
    for (const PresetFieldText& field : presetFieldTexts()) {
        const CatalogueRow* row = findCatalogueRow(field.control);
        ASSERT_NE(row, nullptr) << field.control;
        for (int preset = 0; preset < kPresetCount; ++preset) {
            const std::string_view text = field.text[preset];
            EXPECT_TRUE(codecOf(row->kind).acceptsFieldText(text))
                << field.control << " preset " << preset << ": " << text;
        }
    }
}

TEST(Presets, HiddenMovieBoxIsCheckedByEveryPreset) {
    const auto boxes = presetCheckBoxes();
    const auto movie = std::find_if(boxes.begin(), boxes.end(),
                                    [](const PresetCheckBox& box) { return box.control == "bPlayMoviez"; });
    ASSERT_NE(movie, boxes.end());
    for (int preset = 0; preset < kPresetCount; ++preset)
        EXPECT_TRUE(movie->checked[preset]) << "preset " << preset;
}

TEST(Presets, NoTwoPresetsAreAlike) {
    // A column copied into its neighbour would make two list items do the same thing.
    for (int a = 0; a < kPresetCount; ++a) {
        for (int b = a + 1; b < kPresetCount; ++b) {
            const bool boxesDiffer =
                std::any_of(presetCheckBoxes().begin(), presetCheckBoxes().end(),
                            [&](const PresetCheckBox& box) { return box.checked[a] != box.checked[b]; });
            const bool textsDiffer =
                std::any_of(presetFieldTexts().begin(), presetFieldTexts().end(),
                            [&](const PresetFieldText& field) { return field.text[a] != field.text[b]; });
            EXPECT_TRUE(boxesDiffer || textsDiffer) << "presets " << a << " and " << b;
        }
    }
}

TEST(Descriptions, OneEntryPerDescribedControl) {
    const auto entries = descriptions();
    ASSERT_EQ(entries.size(), 73u);
    std::set<std::string_view> seen;
    for (const Description& entry : entries) {
        EXPECT_TRUE(seen.insert(entry.control).second) << "duplicate entry " << entry.control;
        EXPECT_EQ(findDescription(entry.control), &entry) << entry.control;
    }
    EXPECT_EQ(findDescription("bUseBackgroundLevelStreaming"), nullptr);
    EXPECT_EQ(findDescription(""), nullptr);
    // Edit fields are explained through their caption labels only.
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (isEditKind(row.kind)) {
            EXPECT_EQ(findDescription(row.control), nullptr) << row.control;
        }
    }
}

TEST(Descriptions, CheckBoxEntriesMatchTheCatalogue) {
    std::multiset<std::string_view> checkBoxEntries;
    int labelEntries = 0;
    for (const Description& entry : descriptions()) {
        if (const CatalogueRow* row = findCatalogueRow(entry.control)) {
            EXPECT_TRUE(isCheckBoxKind(row->kind)) << entry.control;
            checkBoxEntries.insert(entry.control);
        } else {
            EXPECT_TRUE(entry.control.starts_with("Label"))
                << entry.control << " is neither a check box nor a label";
            ++labelEntries;
        }
    }
    auto expected = catalogueControls([](const CatalogueRow& row) { return isCheckBoxKind(row.kind); });
    expected.erase("bUseBackgroundLevelStreaming");
    EXPECT_EQ(checkBoxEntries, expected);
    EXPECT_EQ(labelEntries, 27);
}

TEST(Descriptions, TitlesNameTheirSetting) {
    int shadowFilterRadiusTitles = 0;
    int checkBoxTitlesOffTheRule = 0;
    for (const Description& entry : descriptions()) {
        EXPECT_TRUE(entry.title.starts_with("Description: ")) << entry.control;
        EXPECT_GT(entry.title.size(), std::string_view("Description: ").size()) << entry.control;
        if (entry.title == "Description: ShadowFilterRadius")
            ++shadowFilterRadiusTitles;
        if (findCatalogueRow(entry.control) && entry.title != "Description: " + std::string(entry.control))
            ++checkBoxTitlesOffTheRule;
    }
    EXPECT_EQ(shadowFilterRadiusTitles, 3);
    // UseEffectsProcessing, the cut bClearAnimSetLinkupCachesOnLoadMap, the misspelt
    // bFirstPersonWeaponsSelfShadow and the movie box, titled by its key.
    EXPECT_EQ(checkBoxTitlesOffTheRule, 4);
    const Description* movie = findDescription("bPlayMoviez");
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->title, "Description: StartupMovies");
}

TEST(Descriptions, TextsBreakLinesOnlyWithCrLf) {
    int textsWithBreaks = 0;
    for (const Description& entry : descriptions()) {
        const std::string_view text = entry.text;
        EXPECT_FALSE(text.empty()) << entry.control;
        EXPECT_EQ(entry.title.find_first_of("\r\n"), std::string_view::npos) << entry.control;
        int breaks = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << entry.control << ": lone CR";
                ++breaks;
            } else if (text[i] == '\n') {
                EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << entry.control << ": lone LF";
            }
        }
        EXPECT_LE(breaks, 1) << entry.control;
        EXPECT_EQ(text.find('\\'), std::string_view::npos) << entry.control << ": escape written out";
        if (breaks > 0)
            ++textsWithBreaks;
    }
    EXPECT_EQ(textsWithBreaks, 5);
}
