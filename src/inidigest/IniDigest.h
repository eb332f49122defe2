#pragma once

#include "inidigest/IniTarget.h"

#include <string>

// The one module through which every INI key is read or written. Each operation finds
// its file for exactly one key and reads or replaces it whole, so every read sees the
// file as it is on disk and every file is complete after every write (an IniWriteScope
// stores a batch together). A missing file is reported once per user operation.
// Conversion and write failures are thrown as IniError; the window shows them.

void InitIniDigest();
std::string GetPersonalFolder();
void SetCustomIniPath(const std::string& path);
void ResetIniErrors();

std::string ReadIniString(IniTarget target, const std::string& section, const std::string& key);
std::string ReadIniStringOrEmpty(IniTarget target, const std::string& section, const std::string& key);
std::string ReadIniInteger(IniTarget target, const std::string& section, const std::string& key);
bool ReadIniBool(IniTarget target, const std::string& section, const std::string& key);
std::string ReadPatchVersion();

void WriteIniString(IniTarget target, const std::string& section, const std::string& key,
                    const std::string& value);
void WriteIniBool(IniTarget target, const std::string& section, const std::string& key, bool value);
void WriteIniInteger(IniTarget target, const std::string& section, const std::string& key,
                     const std::string& value);
