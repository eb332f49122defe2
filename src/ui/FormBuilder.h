#pragma once

#include <QFont>
#include <QHash>
#include <QString>

class QWidget;

// The controls of the main window by name (the Qt objectName is the control name).
using ControlMap = QHash<QString, QWidget*>;

// Builds every control of the window layout on `window`, with its focus order and the
// control that has the focus when the window opens. Wires no events.
ControlMap buildWindowControls(QWidget* window);

// The window font: "MS Sans Serif" 8 pt where it exists, otherwise a metric-compatible
// sans font at the same 11-pixel character height; the program carries one for systems
// that have neither (made known to the font database when it is needed).
QFont windowFont();

// Places the patch-version label so that its right edge stays where the layout puts it.
void keepRightEdge(QWidget* label, int rightEdge);
