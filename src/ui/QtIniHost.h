#pragma once

#include "inidigest/IniLayer.h"

class UserDialogs;

// Connects the INI access layer to the desktop: the documents folder (see
// DocumentsFolder.h), the program's folder, the locale, and message boxes through `dialogs`.
IniHost makeDesktopIniHost(UserDialogs& dialogs);
