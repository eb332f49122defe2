#pragma once

#include "ui/FormBuilder.h"

#include <QString>

// The description panel below the scroll box explains the setting under the pointer;
// over a control without a description it keeps what it shows.
void showDescription(const ControlMap& controls, const QString& control);
