#include "SystemErrorText.h"

#ifdef _WIN32
#include <windows.h>
#endif

SystemErrorText systemErrorText([[maybe_unused]] std::errc posixError,
                                [[maybe_unused]] unsigned long windowsCode) {
#ifdef _WIN32
    wchar_t* words = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, windowsCode, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
    std::wstring wide = words ? words : L"";
    LocalFree(words);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' '))
        wide.pop_back();
    std::string text(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                        static_cast<int>(text.size()), nullptr, nullptr);
    return {static_cast<int>(windowsCode), text};
#else
    const std::error_code error = std::make_error_code(posixError);
    return {error.value(), error.message()};
#endif
}

std::string systemErrorMessage(const SystemErrorText& error) {
    return "System Error.  Code: " + std::to_string(error.code) + ".\r\n" + error.text;
}
