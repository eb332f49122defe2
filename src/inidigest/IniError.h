#pragma once

#include <stdexcept>
#include <string>

// A conversion or write failure that ends the running operation. The window shows
// its text in the standard error box.
class IniError : public std::runtime_error {
public:
    explicit IniError(const std::string& message)
        : std::runtime_error(message) {}
};
