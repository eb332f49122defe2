#pragma once

#include <span>
#include <string_view>

enum class ControlKind {
    Panel,
    ScrollBox,
    GroupBox,
    Label,
    CheckBox,
    Edit,
    Button,       // plain push button
    BitmapButton, // push button with a glyph left of its caption
    ComboBox,
    StaticText,
};

// Events a control is wired to; the handler's name is the control's name followed by the event's.
enum ControlEvent : unsigned {
    NoEvents = 0,
    OnClick = 1,     // check box state change, button press, label click
    OnMouseMove = 2, // pointer moves over the control
    OnEnterExit = 4, // edit field gains / loses the keyboard focus
    OnChange = 8,    // combo box pick or typing
};

// Looks that depart from the window font.
enum ControlLook : unsigned {
    PlainLook = 0,
    BoldCaption = 1,
    Hidden = 2,
    Link = 4,         // blue, underlined, hand pointer
    RightAligned = 8, // grows to the left from its right edge
    AutoWidth = 16,   // as wide as its text (width column is the design-time width)
};

// One control of the main window. Geometry is in pixels relative to the parent's client area.
struct ControlRow {
    std::string_view name;
    ControlKind kind;
    std::string_view parent; // empty: the window itself
    int left, top, width, height;
    int tab;                  // position in the parent's focus order; -1 for controls that take no focus
    std::string_view caption; // caption, or an edit field's design-time text
    bool checked;             // design-time state of a check box
    unsigned events;          // ControlEvent flags
    unsigned look;            // ControlLook flags
    std::string_view buddy;   // for an edit field's caption label: the field it names
};

// Every control of the main window, parents before their children.
std::span<const ControlRow> windowLayout();
