#pragma once

#include "inidigest/IniLayer.h"

class UserDialogs;

// Connects the INI access layer to the desktop: the documents folder that holds the
// game's files (on Windows the user's own; elsewhere the first of the desktop's, the
// game's Proton prefixes and the Wine prefix that holds them), the program's folder,
// the locale, and message boxes through `dialogs`.
IniHost makeDesktopIniHost(UserDialogs& dialogs);
