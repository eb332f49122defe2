#include "ui/QtIniHost.h"

#include "platform/GameFolders.h"
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

#ifdef Q_OS_WIN
// Native separators and no trailing separator (a root such as "/" or "C:\\" stays whole).
QString tidyFolder(const QString& folder) {
    QString native = QDir::toNativeSeparators(folder);
    const QChar separator = QDir::separator();
    while (native.size() > 1 && native.endsWith(separator) && !(native.size() == 3 && native.at(1) == u':'))
        native.chop(1);
    return native;
}

// On Windows the game keeps its files in the shell's personal folder.
std::string documentsFolder() {
    return toPathText(tidyFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
}
#else
// Elsewhere the game runs under Wine or Proton, so its documents folder usually lies in
// a Wine prefix; the search prefers the desktop's documents folder when both hold the game.
std::string documentsFolder() {
    gamefolders::SearchEnvironment environment;
    // The system's own bytes: the toolkit's strings cannot hold a name that is no UTF-8.
    environment.home = userfolders::homeFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.contains(QChar::ReplacementCharacter))
        environment.xdgDocuments = toPathText(documents);
    environment.winePrefix = toPathText(qEnvironmentVariable("WINEPREFIX"));
    environment.userName = userfolders::loginName();
    return gamefolders::findDocumentsFolder(environment);
}
#endif

std::string creationTimestamp() {
    const QString sep = localeTimeSeparator();
    const QString format = QStringLiteral("dd.MM.yyyy, HH%1mm%1ss").arg(sep);
    return toIniText(QDateTime::currentDateTime().toString(format));
}

} // namespace

QChar localeTimeSeparator() {
    // The first character after the hours in the locale's short time format.
    const QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    const qsizetype hours = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    for (qsizetype i = hours + 1; hours >= 0 && i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != u'h' && c != u'H')
            return c.isLetter() || c.isSpace() ? QChar(u':') : c;
    }
    return u':';
}

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
