#pragma once

#include "inidigest/IniTarget.h"

#include <string>

// The one module through which every INI key is read or written. Each operation finds
// its file for exactly one key and reads or replaces it whole, so every read sees the
// file as it is on disk and every file is complete after every single write; within an
// IniWriteScope (IniLayer.h), the writes to a file are stored together when the scope
// finishes. A missing file is reported once per user operation (see ResetIniErrors).
//
// Conversion and write failures are thrown as IniError; the caller's operation stops
// there and the window shows the error.

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
