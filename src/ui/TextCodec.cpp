#include "ui/TextCodec.h"

#include <QStringDecoder>

QString fromMessageText(const std::string& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return decoder.hasError() ? fromIniText(text) : decoded;
}
