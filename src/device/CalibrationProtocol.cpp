#include "device/CalibrationProtocol.h"

#include "device/Diagnostics.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

QString MilliAmperes(int microamperes)
{
    if (microamperes < 0)
        return QStringLiteral("не принят (вне допустимого диапазона)");
    return QStringLiteral("%1 мА").arg(QString::number(microamperes / 1000.0, 'f', 3).replace(QLatin1Char('.'), QLatin1Char(',')));
}

QString Nominal(int type, int stage)
{
    if (type == 'M')
        return stage == 5 ? QStringLiteral("4,000 мА") : QStringLiteral("20,000 мА");
    if (type == 'N')
        return stage == 5 ? QStringLiteral("0,100 мА") : QStringLiteral("5,000 мА");
    return QString();
}

QString OutputText(int type)
{
    if (type == 'M')
        return QStringLiteral("4–20 мА");
    if (type == 'N')
        return QStringLiteral("0–5 мА");
    return QStringLiteral("неизвестен");
}

QString TypeCode(int type)
{
    return type > 32 && type < 127 ? QString(QChar(type)) : QStringLiteral("?");
}

QString OrDash(const QString& text)
{
    return text.trimmed().isEmpty() ? QStringLiteral("—") : text.trimmed();
}

QString SessionText(const QDateTime& started, const QDateTime& finished)
{
    const QString format = QStringLiteral("dd.MM.yyyy HH:mm");
    if (!started.isValid())
        return finished.toString(format);
    if (started.date() == finished.date())
        return started.toString(format) + QStringLiteral(" – ") + finished.toString(QStringLiteral("HH:mm"));
    return started.toString(format) + QStringLiteral(" – ") + finished.toString(format);
}

} // namespace

QString ProtocolTitle()
{
    return QStringLiteral("Протокол настройки измерительного преобразователя");
}

QList<TProtocolLine> ProtocolLines(const TCalibrationRecord& record)
{
    const TTransducerData& t = record.transducer;
    const QString five = Nominal(t.PLType, 5);
    const QString six = Nominal(t.PLType, 6);
    return {
        {QStringLiteral("Тип преобразователя"), TypeCode(t.PLType) + QStringLiteral(" — ") + OrDash(t.PLTypeText)},
        {QStringLiteral("Тип датчика"), OrDash(t.SensorTypeText)},
        {QStringLiteral("Номер датчика"), QString::number(t.SensorNum)},
        {QStringLiteral("Дата датчика"), OrDash(DateText(t.SensorDate))},
        {QStringLiteral("Адрес"), QString::number(t.SlaveID)},
        {QStringLiteral("Выходной сигнал"), OutputText(t.PLType)},
        {five.isEmpty() ? QStringLiteral("Измеренный ток, этап 5") : QStringLiteral("Измеренный ток в точке ") + five,
         MilliAmperes(record.current5)},
        {six.isEmpty() ? QStringLiteral("Измеренный ток, этап 6") : QStringLiteral("Измеренный ток в точке ") + six,
         MilliAmperes(record.current6)},
        {QStringLiteral("Дата настройки, записанная в прибор"), OrDash(DateText(t.CalibrDate))},
        {QStringLiteral("Сеанс настройки"), SessionText(record.started, record.finished)},
    };
}

bool WriteProtocolPdf(const QString& path, const TCalibrationRecord& record, const QFont& font, QString* error)
{
    {
        // QPdfWriter reports no failure of its own: find out first whether the file can be written.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QStringLiteral("Не удалось открыть файл %1 для записи: %2").arg(path, probe.errorString());
            return false;
        }
    }
    QPdfWriter writer(path);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                     QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setTitle(ProtocolTitle());
    writer.setCreator(QStringLiteral("Зелкор"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Не удалось создать документ %1").arg(path);
        return false;
    }
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    const double mm = writer.resolution() / 25.4;
    const QRectF area(0, 0, page.width(), page.height());

    QFont title(font);
    title.setPointSizeF(15);
    title.setBold(true);
    QFont body(font);
    body.setPointSizeF(11);
    body.setBold(false);

    double y = 0;
    painter.setFont(title);
    const QRectF titleRect(area.left(), y, area.width(), 20 * mm);
    painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, ProtocolTitle());
    y += painter.boundingRect(titleRect, Qt::AlignHCenter | Qt::TextWordWrap, ProtocolTitle()).height() + 10 * mm;

    painter.setFont(body);
    const QFontMetricsF metrics(body, &writer);
    const double row = metrics.height() * 1.6;
    const double labelWidth = area.width() * 0.48;
    for (const TProtocolLine& line : ProtocolLines(record)) {
        const QRectF labelRect(area.left(), y, labelWidth - 3 * mm, row * 2);
        const QRectF valueRect(area.left() + labelWidth, y, area.width() - labelWidth, row * 2);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        painter.drawText(labelRect, flags, line.label + QLatin1Char(':'));
        painter.drawText(valueRect, flags, line.value);
        const double used = std::max(painter.boundingRect(labelRect, flags, line.label + QLatin1Char(':')).height(),
                                     painter.boundingRect(valueRect, flags, line.value).height());
        y += std::max(row, used + row - metrics.height());
    }

    y += 20 * mm;
    const double lineStart = area.left() + labelWidth;
    const double lineEnd = area.right();
    for (const QString& label : {QStringLiteral("Настройку провёл (Ф. И. О.)"), QStringLiteral("Подпись")}) {
        painter.drawText(QPointF(area.left(), y), label + QLatin1Char(':'));
        painter.drawLine(QPointF(lineStart, y + 1 * mm), QPointF(lineEnd, y + 1 * mm));
        y += 15 * mm;
    }
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл %1").arg(path);
        return false;
    }
    return true;
}
