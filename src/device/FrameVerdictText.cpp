#include "device/FrameVerdictText.h"

#include "device/ErrCodes.h"

QString HexText(const QByteArray& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i)
            text += QLatin1Char(' ');
        const auto b = uint8_t(bytes[i]);
        text += QLatin1Char(digits[b >> 4]);
        text += QLatin1Char(digits[b & 15]);
    }
    return text;
}

QString VerdictText(const TLinkEvent& e)
{
    switch (e.verdict) {
    case TFrameVerdict::Request:
        return QStringLiteral("запрос");
    case TFrameVerdict::RequestShort:
        return QStringLiteral("запрос передан не полностью (%1 из %2 байт)").arg(e.bytes.size()).arg(e.expected);
    case TFrameVerdict::Answer:
        return QStringLiteral("ответ");
    case TFrameVerdict::Exception: {
        const QString text = DeviceExceptionText(uint8_t(e.code));
        return text.isEmpty() ? QStringLiteral("исключение %1").arg(e.code)
                              : QStringLiteral("исключение %1: %2").arg(e.code).arg(text);
    }
    case TFrameVerdict::Refused:
        return QStringLiteral("отказ, код %1").arg(e.code);
    case TFrameVerdict::WrongFunction:
        return QStringLiteral("неверная функция в ответе");
    case TFrameVerdict::DamagedCRC:
        return QStringLiteral("повреждён CRC");
    case TFrameVerdict::WrongLength:
        return e.expected > 0 ? QStringLiteral("неверная длина (%1 байт вместо %2)").arg(e.bytes.size()).arg(e.expected)
                              : QStringLiteral("неверная длина (%1 байт)").arg(e.bytes.size());
    case TFrameVerdict::NoAnswer:
        return QStringLiteral("нет ответа");
    case TFrameVerdict::Ignored:
        return QStringLiteral("посторонний кадр, пропущен");
    }
    return QString();
}
