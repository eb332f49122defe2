#include "ui/LayoutTable.h"
#include "settings/Catalogue.h"
#include "settings/Descriptions.h"
#include "sync/ValueCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The row of the named control, or nullptr.
const ControlRow* findControlRow(std::string_view name) {
    const auto rows = windowLayout();
    const auto it =
        std::find_if(rows.begin(), rows.end(), [name](const ControlRow& row) { return row.name == name; });
    return it == rows.end() ? nullptr : &*it;
}

bool has(unsigned flags, unsigned flag) {
    return (flags & flag) == flag;
}

bool isContainer(ControlKind kind) {
    return kind == ControlKind::Panel || kind == ControlKind::ScrollBox || kind == ControlKind::GroupBox;
}

bool isButton(ControlKind kind) {
    return kind == ControlKind::Button || kind == ControlKind::BitmapButton;
}

std::vector<const ControlRow*> controlsOfKind(ControlKind kind) {
    std::vector<const ControlRow*> found;
    for (const ControlRow& control : windowLayout())
        if (control.kind == kind)
            found.push_back(&control);
    return found;
}

// The caption labels that name this edit field.
std::vector<const ControlRow*> captionLabelsOf(std::string_view field) {
    std::vector<const ControlRow*> found;
    for (const ControlRow& control : windowLayout())
        if (control.buddy == field)
            found.push_back(&control);
    return found;
}

// The setting a hover-wired control stands for: a check box itself, a caption label its field.
const CatalogueRow* settingOf(const ControlRow& control) {
    return findCatalogueRow(control.kind == ControlKind::Label ? control.buddy : control.name);
}

} // namespace

TEST(LayoutTable, NamesAreUnique) {
    std::set<std::string_view> seen;
    for (const ControlRow& control : windowLayout()) {
        EXPECT_FALSE(control.name.empty());
        EXPECT_TRUE(seen.insert(control.name).second) << "duplicate control " << control.name;
    }
    EXPECT_FALSE(seen.count("Mainform")) << "the window itself is no entry";
    EXPECT_FALSE(seen.count("label13"));
}

TEST(LayoutTable, ParentsAreContainersListedEarlier) {
    std::set<std::string_view> listed;
    for (const ControlRow& control : windowLayout()) {
        if (!control.parent.empty()) {
            EXPECT_TRUE(listed.count(control.parent))
                << control.name << " comes before its parent " << control.parent;
            const ControlRow* parent = findControlRow(control.parent);
            ASSERT_NE(parent, nullptr) << control.name;
            EXPECT_TRUE(isContainer(parent->kind)) << control.name << " in " << control.parent;
        }
        listed.insert(control.name);
    }
}

TEST(LayoutTable, ControlCountsPerKind) {
    EXPECT_EQ(controlsOfKind(ControlKind::Panel).size(), 4u);
    EXPECT_EQ(controlsOfKind(ControlKind::ScrollBox).size(), 1u);
    EXPECT_EQ(controlsOfKind(ControlKind::GroupBox).size(), 19u) << "18 sections and the description box";
    EXPECT_EQ(controlsOfKind(ControlKind::CheckBox).size(), 47u);
    EXPECT_EQ(controlsOfKind(ControlKind::Edit).size(), 27u);
    EXPECT_EQ(controlsOfKind(ControlKind::Button).size() + controlsOfKind(ControlKind::BitmapButton).size(),
              7u);
    EXPECT_EQ(controlsOfKind(ControlKind::BitmapButton).size(), 3u);
    EXPECT_EQ(controlsOfKind(ControlKind::ComboBox).size(), 1u);
    EXPECT_EQ(controlsOfKind(ControlKind::StaticText).size(), 1u);
    // 27 caption labels, four help labels and the patch version.
    EXPECT_EQ(controlsOfKind(ControlKind::Label).size(), 32u);
}

TEST(LayoutTable, EveryCatalogueRowHasOneControlOfItsKind) {
    std::multiset<std::string_view> settingControls;
    for (const ControlRow& control : windowLayout())
        if (control.kind == ControlKind::CheckBox || control.kind == ControlKind::Edit)
            settingControls.insert(control.name);

    for (const CatalogueRow& row : settingsCatalogue()) {
        EXPECT_EQ(settingControls.count(row.control), 1u) << row.control;
        const ControlRow* control = findControlRow(row.control);
        ASSERT_NE(control, nullptr) << row.control;
        const bool checkBox = row.kind == ValueKind::Boolean || row.kind == ValueKind::MovieText;
        EXPECT_EQ(control->kind, checkBox ? ControlKind::CheckBox : ControlKind::Edit) << row.control;
    }
    EXPECT_EQ(settingControls.size(), settingsCatalogue().size())
        << "a setting control outside the catalogue";
}

TEST(LayoutTable, SettingControlsFollowTheRowPattern) {
    for (const CatalogueRow& row : settingsCatalogue()) {
        const ControlRow* control = findControlRow(row.control);
        ASSERT_NE(control, nullptr) << row.control;
        EXPECT_EQ(control->left, 8) << row.control;
        if (control->kind == ControlKind::CheckBox) {
            EXPECT_EQ(control->width, row.kind == ValueKind::MovieText ? 257 : 249) << row.control;
            EXPECT_EQ(control->height, 17) << row.control;
            // A check box is captioned by its own name; the movie box has a sentence instead.
            if (row.kind == ValueKind::MovieText) {
                EXPECT_NE(control->caption, control->name);
            } else {
                EXPECT_EQ(control->caption, control->name);
            }
        } else {
            EXPECT_EQ(control->width, 73) << row.control;
            EXPECT_EQ(control->height, 21) << row.control;
            EXPECT_FALSE(control->checked) << row.control;
            EXPECT_TRUE(codecOf(row.kind).acceptsFieldText(control->caption))
                << row.control << " starts with \"" << control->caption << '"';
        }
        EXPECT_EQ(control->look, PlainLook) << row.control << ": the change mark must start unset";
    }
}

TEST(LayoutTable, EveryEditFieldHasOneCaptionLabel) {
    for (const ControlRow* field : controlsOfKind(ControlKind::Edit)) {
        const auto labels = captionLabelsOf(field->name);
        ASSERT_EQ(labels.size(), 1u) << field->name;
        const ControlRow& label = *labels.front();
        EXPECT_EQ(label.kind, ControlKind::Label) << label.name;
        EXPECT_EQ(label.caption, field->name) << label.name;
        EXPECT_EQ(label.parent, field->parent) << label.name;
        EXPECT_EQ(label.left, field->left + 80) << label.name;
        EXPECT_EQ(label.top, field->top + 4) << label.name;
        EXPECT_EQ(label.height, 13) << label.name;
        EXPECT_TRUE(has(label.look, AutoWidth)) << label.name;
        EXPECT_EQ(label.tab, -1) << label.name;
        EXPECT_EQ(label.events, static_cast<unsigned>(OnMouseMove)) << label.name;
    }
    // And no label names anything but an edit field.
    for (const ControlRow& control : windowLayout()) {
        if (control.buddy.empty())
            continue;
        const ControlRow* target = findControlRow(control.buddy);
        ASSERT_NE(target, nullptr) << control.name;
        EXPECT_EQ(target->kind, ControlKind::Edit) << control.name;
    }
}

TEST(LayoutTable, SettingsSitInsideGroupBoxOfTheirSection) {
    std::map<std::string_view, std::set<std::tuple<IniTarget, std::string_view>>> sectionsPerGroup;
    for (const CatalogueRow& row : settingsCatalogue()) {
        const ControlRow* control = findControlRow(row.control);
        ASSERT_NE(control, nullptr) << row.control;
        const ControlRow* group = findControlRow(control->parent);
        ASSERT_NE(group, nullptr) << row.control;
        ASSERT_EQ(group->kind, ControlKind::GroupBox) << row.control;
        EXPECT_EQ(group->parent, "ScrollBox1") << group->name;
        sectionsPerGroup[group->name].insert({row.target, row.section});

        if (row.kind == ValueKind::MovieText) {
            // The movie box's group is out of sight, and its caption names the section differently.
            EXPECT_TRUE(has(group->look, Hidden)) << group->name;
        } else {
            const std::string head = "Section: [" + std::string(row.section) + "]";
            EXPECT_TRUE(group->caption.starts_with(head)) << row.control << " is in " << group->caption;
            EXPECT_FALSE(has(group->look, Hidden)) << group->name;
        }

        // The control lies within its group box.
        EXPECT_GE(control->top, 0) << row.control;
        EXPECT_LE(control->left + control->width, group->width) << row.control;
        EXPECT_LE(control->top + control->height, group->height) << row.control;
    }
    EXPECT_EQ(sectionsPerGroup.size(), 18u);
    for (const auto& [group, sections] : sectionsPerGroup) {
        EXPECT_EQ(sections.size(), 1u) << group << " mixes sections or files";
    }

    int hidden = 0;
    for (const ControlRow& control : windowLayout())
        hidden += has(control.look, Hidden) ? 1 : 0;
    EXPECT_EQ(hidden, 1);
}

TEST(LayoutTable, VisibleScrollContentReachesItsKnownExtent) {
    int right = 0;
    int bottom = 0;
    for (const ControlRow& control : windowLayout()) {
        if (control.parent != "ScrollBox1" || has(control.look, Hidden))
            continue;
        right = std::max(right, control.left + control.width);
        bottom = std::max(bottom, control.top + control.height);
    }
    EXPECT_EQ(right, 833);
    EXPECT_EQ(bottom, 815);
    const ControlRow* scrollBox = findControlRow("ScrollBox1");
    ASSERT_NE(scrollBox, nullptr);
    EXPECT_LT(right, scrollBox->width) << "no horizontal scrolling";
    EXPECT_GT(bottom, scrollBox->height) << "vertical scrolling";
}

TEST(LayoutTable, TabPositionsAreUniqueWithinEachParent) {
    std::map<std::string_view, std::set<int>> tabsPerParent;
    for (const ControlRow& control : windowLayout()) {
        const bool takesNoFocus =
            control.kind == ControlKind::Label || control.kind == ControlKind::StaticText;
        if (takesNoFocus) {
            EXPECT_EQ(control.tab, -1) << control.name;
            continue;
        }
        EXPECT_GE(control.tab, 0) << control.name;
        EXPECT_TRUE(tabsPerParent[control.parent].insert(control.tab).second)
            << control.name << " shares tab " << control.tab << " in "
            << (control.parent.empty() ? "the window" : control.parent);
    }
}

TEST(LayoutTable, FocusCycleStartsAtTheFirstFieldOfTheRightColumn) {
    // Walk down from the window, always into the child with the lowest tab position.
    std::string_view parent;
    const ControlRow* first = nullptr;
    for (;;) {
        const ControlRow* next = nullptr;
        for (const ControlRow& control : windowLayout())
            if (control.parent == parent && control.tab >= 0 && (!next || control.tab < next->tab))
                next = &control;
        if (!next)
            break;
        first = next;
        parent = next->name;
    }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->name, "MaxAnisotropy");
}

TEST(LayoutTable, HoverWiringMatchesTheDescriptions) {
    std::set<std::string_view> hovered;
    for (const ControlRow& control : windowLayout())
        if (has(control.events, OnMouseMove))
            hovered.insert(control.name);
    std::set<std::string_view> described;
    for (const Description& entry : descriptions())
        described.insert(entry.control);
    EXPECT_EQ(hovered.size(), 73u);
    EXPECT_EQ(hovered, described);
}

TEST(LayoutTable, DescriptionsRunInWindowOrder) {
    // Group boxes in the order the window lists them, each one top to bottom.
    std::map<std::string_view, int> groupIndex;
    for (const ControlRow* group : controlsOfKind(ControlKind::GroupBox))
        groupIndex.emplace(group->name, static_cast<int>(groupIndex.size()));

    std::vector<std::pair<int, int>> positions;
    for (const Description& entry : descriptions()) {
        const ControlRow* control = findControlRow(entry.control);
        ASSERT_NE(control, nullptr) << entry.control;
        ASSERT_TRUE(groupIndex.count(control->parent)) << entry.control;
        positions.emplace_back(groupIndex[control->parent], control->top);
    }
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
}

TEST(LayoutTable, DescriptionTitlesNameTheHoveredSetting) {
    int offTheRule = 0;
    for (const Description& entry : descriptions()) {
        const ControlRow* control = findControlRow(entry.control);
        ASSERT_NE(control, nullptr) << entry.control;
        const CatalogueRow* row = settingOf(*control);
        ASSERT_NE(row, nullptr) << entry.control;
        if (entry.title != "Description: " + std::string(row->key))
            ++offTheRule;
    }
    // UseEffectsProcessing and ParticleLODBias borrow ShadowFilterRadius's title; MaxMultisamples,
    // bClearAnimSetLinkupCachesOnLoadMap and bFirstPersonWeaponsSelfShadow are shortened or misspelt.
    EXPECT_EQ(offTheRule, 5);
}

TEST(LayoutTable, WiredHandlerCounts) {
    int checkBoxClicks = 0, mouseMoves = 0, enterExits = 0, buttonClicks = 0, labelClicks = 0, changes = 0;
    for (const ControlRow& control : windowLayout()) {
        if (has(control.events, OnClick)) {
            if (control.kind == ControlKind::CheckBox)
                ++checkBoxClicks;
            else if (isButton(control.kind))
                ++buttonClicks;
            else if (control.kind == ControlKind::Label)
                ++labelClicks;
            else
                ADD_FAILURE() << control.name << " has a click handler";
        }
        if (has(control.events, OnMouseMove)) {
            ++mouseMoves;
            EXPECT_TRUE(control.kind == ControlKind::CheckBox || control.kind == ControlKind::Label)
                << control.name;
        }
        if (has(control.events, OnEnterExit)) {
            ++enterExits;
            EXPECT_EQ(control.kind, ControlKind::Edit) << control.name;
        }
        if (has(control.events, OnChange)) {
            ++changes;
            EXPECT_EQ(control.kind, ControlKind::ComboBox) << control.name;
        }
        if (isContainer(control.kind) || control.kind == ControlKind::StaticText) {
            EXPECT_EQ(control.events, static_cast<unsigned>(NoEvents)) << control.name;
        }
        if (isButton(control.kind)) {
            EXPECT_EQ(control.events, static_cast<unsigned>(OnClick)) << control.name;
        }
        if (control.kind == ControlKind::Edit) {
            EXPECT_EQ(control.events, static_cast<unsigned>(OnEnterExit)) << control.name;
        }
    }
    EXPECT_EQ(checkBoxClicks, 46);
    EXPECT_EQ(mouseMoves, 73);
    EXPECT_EQ(enterExits, 27);
    EXPECT_EQ(buttonClicks, 7);
    EXPECT_EQ(labelClicks, 1);
    EXPECT_EQ(changes, 1);
}

TEST(LayoutTable, ClickWiredCheckBoxesAreTheMarkedOnes) {
    std::set<std::string_view> clickWired;
    for (const ControlRow* box : controlsOfKind(ControlKind::CheckBox))
        if (has(box->events, OnClick))
            clickWired.insert(box->name);
    const auto walk = markingWalkOrder();
    EXPECT_EQ(clickWired, std::set<std::string_view>(walk.begin(), walk.end()));
}

TEST(LayoutTable, TheHelpLinkIsAWebAddress) {
    const ControlRow* link = nullptr;
    for (const ControlRow& control : windowLayout())
        if (control.kind == ControlKind::Label && has(control.events, OnClick))
            link = &control;
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(has(link->look, Link));
    EXPECT_TRUE(link->caption.starts_with("https://") || link->caption.starts_with("http://"))
        << link->caption;
    EXPECT_EQ(link->caption.find(' '), std::string_view::npos) << link->caption;
}
