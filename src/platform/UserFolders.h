#pragma once

#include <string>

// Folders as the system names them, byte for byte: a name that is no valid UTF-8 would
// not survive a round trip through the toolkit's Unicode strings.
namespace userfolders {

// The user's home folder ($HOME, else the password database); empty when unknown.
// POSIX systems only: empty on Windows, where paths are Unicode anyway.
std::string homeFolder();

// The name of the account the program runs under, as Wine names the user's folder in
// its prefixes: $USER, else $LOGNAME, else the password database (some launchers and
// service managers set neither). Empty when unknown or on Windows.
std::string loginName();

// The folder of the running executable; empty when unknown or on Windows.
std::string programFolder();

} // namespace userfolders
