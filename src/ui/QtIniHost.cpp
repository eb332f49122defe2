#include "ui/QtIniHost.h"

#include "platform/DocumentsFolder.h"
#include "platform/UserFolders.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

std::string documentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A name that is no valid UTF-8 does not survive the toolkit's strings: then the
    // platform layer goes without the desktop's answer.
    const bool representable = !documents.contains(QChar::ReplacementCharacter);
    return userfolders::gameDocumentsFolder(representable ? toPathText(documents) : std::string());
}

// The time separator of the user's locale (":" under most regional settings).
QChar localeTimeSeparator() {
    const QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    const qsizetype hours = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    for (qsizetype i = hours + 1; hours >= 0 && i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != u'h' && c != u'H')
            return c.isLetter() || c.isSpace() ? QChar(u':') : c;
    }
    return u':';
}

std::string creationTimestamp() {
    const QString sep = localeTimeSeparator();
    const QString format = QStringLiteral("dd.MM.yyyy, HH%1mm%1ss").arg(sep);
    return toIniText(QDateTime::currentDateTime().toString(format));
}

} // namespace

IniHost makeDesktopIniHost(UserDialogs& dialogs) {
    IniHost host;
    host.personalFolder = documentsFolder;
    host.executableFolder = [] {
        const std::string folder = userfolders::programFolder();
        return folder.empty() ? toPathText(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()))
                              : folder;
    };
    host.showMessage = [&dialogs](const std::string& text) { dialogs.showMessage(fromMessageText(text)); };
    host.creationTimestamp = creationTimestamp;
    const QString point = QLocale::system().decimalPoint();
    host.decimalSeparator = point.size() == 1 ? point.at(0).toLatin1() : '.';
    return host;
}
