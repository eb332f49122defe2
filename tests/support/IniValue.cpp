#include "IniValue.h"

#include "inidigest/IniText.h"

std::string iniValue(const std::string& text, const std::string& section, const std::string& key) {
    return initext::readValue(text, section, key).value_or("<missing>");
}
