#pragma once

#include <QString>

#include <string>
#include <string_view>

// The game's files are 8-bit text of the system code page; paths travel as UTF-8.
inline QString fromIniText(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toIniText(const QString& text) {
    return text.toLatin1().toStdString();
}

inline std::string toPathText(const QString& path) {
    return path.toUtf8().toStdString();
}

inline QString fromPathText(const std::string& path) {
    return QString::fromStdString(path);
}

// Names and texts of the program's constant tables (control names, captions,
// descriptions) are UTF-8.
inline QString fromTableText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Messages may carry both a UTF-8 path and 8-bit file text: take UTF-8 where it is valid.
QString fromMessageText(const std::string& text);
