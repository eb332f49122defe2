#pragma once

#include "ui/FormBuilder.h"

#include <QString>

#include <functional>

class ControlEvents;
class ControlValues;
class HandlerRunner;
class QCheckBox;
class QLineEdit;
class QPushButton;

// What the window does on the events of its setting controls, one handler per family:
// every marked box, every numeric field and every described control shares its own.
struct ControlHandlers {
    std::function<void(QCheckBox*)> boxClick;
    std::function<void(QLineEdit*)> fieldEnter;
    std::function<void(QLineEdit*)> fieldExit;
    std::function<void(const QString& control)> pointerMove;
    std::function<void()> labelClick;
    std::function<void()> presetsChange;
    // The player set this box by hand. (A field counts as set by the player only once
    // they leave it with text it accepts: its exit handler decides.)
    std::function<void(const QString& control)> setByPlayer;
};

// The window's controls, their events as the layout table lists them, and where they go.
struct ControlWiring {
    const ControlMap& controls;
    ControlValues& values;
    ControlEvents& events;
    HandlerRunner& runner;
    // Enter in a field, a box or the combo box presses this button.
    QPushButton* defaultButton;
};

// Connects every control event to its family's handler, run through the wiring's runner
// as the event (bShowHudClick, MaxAnisotropyExit, Label13MouseMove, ...) runs it.
void wireControls(const ControlWiring& wiring, const ControlHandlers& handlers);
