#pragma once

#include "inidigest/IniDigest.h"

#include <QChar>

class UserDialogs;

// Connects the INI access layer to the desktop: the user's documents folder, the
// program's folder, the locale, and message boxes through `dialogs`.
IniHost makeDesktopIniHost(UserDialogs& dialogs);

// The time separator of the user's locale (":" under most regional settings).
QChar localeTimeSeparator();
