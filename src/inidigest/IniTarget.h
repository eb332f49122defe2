#pragma once

// The five files the program reads and writes. The numbers are fixed: other values
// name no file and so read as a missing file.
enum IniTarget {
    TweakFile = 0,  // Knobwerk.ini beside the executable
    EngineIni = 1,  // UTEngine.ini in the game's configuration folder
    GameIni = 2,    // UTGame.ini
    InputIni = 3,   // UTInput.ini
    CustomFile = 4, // the file picked for an import
};
