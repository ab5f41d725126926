#include "passport/CertificatePdf.h"

#include "device/Diagnostics.h"
#include "passport/DeviceJson.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <functional>
#include <memory>

namespace {

QString Dec(double v, int decimals)
{
    if (!std::isfinite(v))
        return QStringLiteral("—");
    return QString::number(v, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString OrDash(const QString& text)
{
    return text.trimmed().isEmpty() ? QStringLiteral("—") : text.trimmed();
}

QString OutputText(int type)
{
    return type == 'M' ? QStringLiteral("4–20 мА") : type == 'N' ? QStringLiteral("0–5 мА") : QStringLiteral("неизвестен");
}

QString SensorKindText(int kind, int r0)
{
    QString text;
    switch (kind) {
    case 1:
        text = QStringLiteral("платиновый, α = 0,00391");
        break;
    case 2:
        text = QStringLiteral("платиновый, α = 0,00385");
        break;
    case 3:
        text = QStringLiteral("медный, α = 0,00428");
        break;
    default:
        text = QStringLiteral("неизвестен");
        break;
    }
    return text + QStringLiteral(", R0 = %1 Ом").arg(r0);
}

QString StageAction(int stage, int type)
{
    switch (stage) {
    case 0:
        return QStringLiteral("отмена");
    case 1:
        return QStringLiteral("вход: 0 Ом");
    case 2:
        return QStringLiteral("вход: 500 Ом");
    case 3:
        return QStringLiteral("вход: 250 Ом");
    case 4:
        return QStringLiteral("вход: 500 Ом");
    case 5:
        return type == 'N' ? QStringLiteral("выход: 0,100 мА") : QStringLiteral("выход: 4,000 мА");
    case 6:
        return type == 'N' ? QStringLiteral("выход: 5,000 мА") : QStringLiteral("выход: 20,000 мА");
    case 7:
        return QStringLiteral("запись даты настройки");
    default:
        return QStringLiteral("этап %1").arg(stage);
    }
}

QString RuleText(const TSettlingRule& r, const QString& unit)
{
    return QStringLiteral("%1 отсчётов: размах ≤ %2 %3, дрейф ≤ %4 %3/с")
        .arg(r.samples)
        .arg(Dec(r.spread, 3), unit, Dec(r.slope, 3));
}

// Lays blocks out on A4 pages and prints them, the page head and foot on every page.
class TCertificateLayout {
public:
    TCertificateLayout(QPdfWriter& writer, const QFont& font, const QString& number)
        : m_writer(writer)
        , m_number(number)
        , m_mm(writer.resolution() / 25.4)
    {
        const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
        m_width = page.width();
        m_height = page.height();
        m_body = font;
        m_body.setPointSizeF(10);
        m_small = font;
        m_small.setPointSizeF(8);
        m_heading = font;
        m_heading.setPointSizeF(11);
        m_heading.setBold(true);
        m_title = font;
        m_title.setPointSizeF(15);
        m_title.setBold(true);
    }

    double mm(double v) const { return v * m_mm; }
    double Width() const { return m_width; }

    void Title(const QString& text)
    {
        Text(text, m_title, Qt::AlignHCenter, mm(4));
    }
    void Heading(const QString& text)
    {
        TBlock b = TextBlock(text, m_heading, Qt::AlignLeft, mm(2));
        b.before = mm(4);
        b.keepWithNext = true;
        m_blocks << b;
    }
    // `after` < 0: the usual 1 mm.
    void Text(const QString& text, const QFont& font, int align = Qt::AlignLeft, double after = -1)
    {
        m_blocks << TextBlock(text, font, align, after < 0 ? mm(1) : after);
    }
    void Paragraph(const QString& text) { Text(text, m_body); }
    void Small(const QString& text) { Text(text, m_small); }
    void Row(const QString& label, const QString& value)
    {
        const double labelWidth = m_width * 0.38;
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const double h = std::max(Measure(label + QLatin1Char(':'), m_body, labelWidth - mm(3), flags),
                                  Measure(value, m_body, m_width - labelWidth, flags));
        TBlock b;
        b.height = h + mm(1);
        const QFont font = m_body;
        const double width = m_width;
        b.draw = [=, this](QPainter& p, double y) {
            p.setFont(font);
            p.drawText(QRectF(0, y, labelWidth - mm(3), h), flags, label + QLatin1Char(':'));
            p.drawText(QRectF(labelWidth, y, width - labelWidth, h), flags, value);
        };
        m_blocks << b;
    }
    // A table: relative column widths, a header repeated on every page it spans.
    void Table(const QList<double>& widths, const QStringList& header, const QList<QStringList>& rows)
    {
        double total = 0;
        for (double w : widths)
            total += w;
        QList<double> cols;
        for (double w : widths)
            cols << m_width * w / total;
        auto rowBlock = [&](const QStringList& cells, bool bold) {
            QFont font = m_small;
            font.setBold(bold);
            const int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap;
            double h = 0;
            for (int i = 0; i < cells.size() && i < cols.size(); ++i)
                h = std::max(h, Measure(cells[i], font, cols[i] - mm(1.5), flags));
            h += mm(1.6);
            TBlock b;
            b.height = h;
            b.draw = [=, this](QPainter& p, double y) {
                p.setFont(font);
                double x = 0;
                for (int i = 0; i < cols.size(); ++i) {
                    const QRectF cell(x, y, cols[i], h);
                    p.drawRect(cell);
                    if (i < cells.size())
                        p.drawText(cell.adjusted(mm(0.75), mm(0.8), -mm(0.75), -mm(0.8)), flags, cells[i]);
                    x += cols[i];
                }
            };
            return b;
        };
        auto head = std::make_shared<TBlock>(rowBlock(header, true));
        TBlock first = *head;
        first.keepWithNext = true;
        m_blocks << first;
        for (const QStringList& r : rows) {
            TBlock b = rowBlock(r, false);
            b.repeatHeader = head;
            m_blocks << b;
        }
        m_blocks.last().after = mm(1.5);
    }
    void SignatureLine(const QString& role, const QString& name)
    {
        TBlock b;
        b.before = mm(6);
        b.height = mm(12);
        const QFont font = m_body;
        const QFont small = m_small;
        const double width = m_width;
        b.draw = [=, this](QPainter& p, double y) {
            p.setFont(font);
            const double base = y + mm(6);
            p.drawText(QPointF(0, base), role + QLatin1Char(':'));
            const double nameX = width * 0.38;
            p.drawText(QPointF(nameX, base), OrDash(name));
            const double lineX = width * 0.68;
            p.drawLine(QPointF(lineX, base + mm(1)), QPointF(width, base + mm(1)));
            p.setFont(small);
            p.drawText(QRectF(lineX, base + mm(1.5), width - lineX, mm(4)), Qt::AlignHCenter | Qt::AlignTop,
                       QStringLiteral("(подпись, дата)"));
        };
        m_blocks << b;
    }

    // Splits into pages and prints; the page count.
    int Print(QPainter& painter)
    {
        const double head = mm(9);
        const double foot = mm(8);
        const double usable = m_height - head - foot;
        QList<QList<std::pair<const TBlock*, double>>> pages(1);
        double y = 0;
        for (int i = 0; i < m_blocks.size(); ++i) {
            const TBlock& b = m_blocks[i];
            double need = b.before + b.height;
            // A heading and a table's header stay with what follows them.
            for (int j = i; j + 1 < m_blocks.size() && m_blocks[j].keepWithNext; ++j)
                need += m_blocks[j + 1].before + m_blocks[j + 1].height;
            if (y > 0 && y + std::min(need, usable) > usable) {
                pages.append(QList<std::pair<const TBlock*, double>>());
                y = 0;
                if (b.repeatHeader) {
                    pages.last().append(std::make_pair(b.repeatHeader.get(), y));
                    y += b.repeatHeader->height;
                }
            }
            if (y > 0)
                y += b.before;
            pages.last().append(std::make_pair(&b, y));
            y += b.height + b.after;
        }
        const int count = int(pages.size());
        for (int n = 0; n < count; ++n) {
            if (n > 0)
                m_writer.newPage();
            painter.setFont(m_small);
            const QString pageText = QStringLiteral("стр. %1 из %2").arg(n + 1).arg(count);
            painter.drawText(QRectF(0, 0, m_width, mm(5)), Qt::AlignLeft | Qt::AlignTop,
                             QStringLiteral("Сертификат калибровки № %1").arg(m_number));
            painter.drawText(QRectF(0, 0, m_width, mm(5)), Qt::AlignRight | Qt::AlignTop, pageText);
            painter.drawLine(QPointF(0, mm(5.5)), QPointF(m_width, mm(5.5)));
            for (const auto& [block, top] : pages[n])
                block->draw(painter, head + top);
            painter.setFont(m_small);
            painter.drawLine(QPointF(0, m_height - mm(6)), QPointF(m_width, m_height - mm(6)));
            painter.drawText(QRectF(0, m_height - mm(5), m_width, mm(5)), Qt::AlignHCenter | Qt::AlignBottom, pageText);
        }
        return count;
    }

    QFont body() const { return m_body; }
    QFont small() const { return m_small; }

private:
    struct TBlock {
        double before = 0;
        double height = 0;
        double after = 0;
        bool keepWithNext = false;
        std::shared_ptr<TBlock> repeatHeader;
        std::function<void(QPainter&, double)> draw;
    };

    double Measure(const QString& text, const QFont& font, double width, int flags) const
    {
        const QFontMetricsF metrics(font, &m_writer);
        return metrics.boundingRect(QRectF(0, 0, width, 1e6), flags, text).height();
    }

    TBlock TextBlock(const QString& text, const QFont& font, int align, double after)
    {
        const int flags = align | Qt::AlignTop | Qt::TextWordWrap;
        const double width = m_width;
        TBlock b;
        b.height = Measure(text, font, width, flags);
        b.after = after;
        b.draw = [=](QPainter& p, double y) {
            p.setFont(font);
            p.drawText(QRectF(0, y, width, 1e5), flags, text);
        };
        return b;
    }

    QPdfWriter& m_writer;
    QString m_number;
    double m_mm;
    double m_width = 0;
    double m_height = 0;
    QFont m_body, m_small, m_heading, m_title;
    QList<TBlock> m_blocks;
};

QString PointVerdict(const TVerifyPoint& p)
{
    if (!p.Measured())
        return QStringLiteral("не измерено");
    return p.pass ? QStringLiteral("соотв.") : QStringLiteral("не соотв.");
}

void Results(TCertificateLayout& l, const TVerificationResult& v)
{
    QList<QStringList> rows;
    for (const TVerifyPoint& p : v.points)
        rows << QStringList{Dec(p.temperature, 1),        Dec(p.resistance, 2),     Dec(p.reading, 2),
                            Dec(p.digitalError, 2),       Dec(p.digitalErrorPct, 3), Dec(p.expectedCurrent, 3),
                            Dec(p.current, 3),            Dec(p.outputError, 3),    Dec(p.outputErrorPct, 3),
                            PointVerdict(p)};
    l.Table({1, 1.1, 1.2, 1, 1, 1.1, 1.1, 1, 1, 1.3},
            {QStringLiteral("Точка, °C"), QStringLiteral("Эталон, Ом"), QStringLiteral("Показание, °C"),
             QStringLiteral("Погр., °C"), QStringLiteral("Погр., % диап."), QStringLiteral("Ток ожидаемый, мА"),
             QStringLiteral("Ток измеренный, мА"), QStringLiteral("Погр., мА"), QStringLiteral("Погр., % диап."),
             QStringLiteral("Вывод")},
            rows);
    const QString when = v.finished.isValid() ? v.finished.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"))
                                              : QStringLiteral("—");
    l.Small(QStringLiteral("Измерения завершены: %1. Результат: %2.")
                .arg(when, !v.complete ? QStringLiteral("измерены не все точки")
                           : v.pass   ? QStringLiteral("все точки в пределах допуска")
                                      : QStringLiteral("есть точки вне допуска")));
}

} // namespace

QString CertificateTitle(const QString& number)
{
    return QStringLiteral("СЕРТИФИКАТ КАЛИБРОВКИ № %1").arg(number);
}

QString CertificateStatement()
{
    return QStringLiteral("Результаты калибровки относятся только к объекту, прошедшему калибровку.");
}

bool WriteCertificatePdf(const QString& path, const TCertificateData& d, const QFont& font, QString* error, int* pages)
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
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 12, 15, 12),
                                     QPageLayout::Millimeter));
    writer.setResolution(300);
    writer.setTitle(CertificateTitle(d.number));
    writer.setCreator(QStringLiteral("Зелкор %1").arg(d.programVersion));

    const TTransducerData& t = d.item;
    TCertificateLayout l(writer, font, d.number);
    l.Title(CertificateTitle(d.number));
    l.Text(QStringLiteral("Дата выдачи: %1").arg(d.issued.toString(QStringLiteral("dd.MM.yyyy"))), l.body(),
           Qt::AlignHCenter, l.mm(3));

    l.Heading(QStringLiteral("1. Организация, проводившая калибровку"));
    l.Row(QStringLiteral("Наименование"), OrDash(d.input.organisation));
    l.Row(QStringLiteral("Адрес"), OrDash(d.input.organisationAddress));

    l.Heading(QStringLiteral("2. Объект калибровки"));
    l.Row(QStringLiteral("Тип преобразователя"), QStringLiteral("%1 — %2").arg(TypeCodeText(t.PLType), OrDash(t.PLTypeText)));
    l.Row(QStringLiteral("Тип датчика"), OrDash(t.SensorTypeText));
    l.Row(QStringLiteral("Номер датчика"), QString::number(t.SensorNum));
    l.Row(QStringLiteral("Дата датчика"), OrDash(DateText(t.SensorDate)));
    l.Row(QStringLiteral("Адрес"), QString::number(t.SlaveID));
    l.Row(QStringLiteral("Чувствительный элемент"), SensorKindText(t.SensorKind, t.R0));
    l.Row(QStringLiteral("Диапазон измерения"),
          QStringLiteral("от %1 до %2 °C").arg(t.BottomTempBound).arg(t.TopTempBound));
    l.Row(QStringLiteral("Выходной сигнал"),
          QStringLiteral("%1, %2").arg(OutputText(t.PLType), t.DirectLeadOut ? QStringLiteral("прямой")
                                                                              : QStringLiteral("инверсный")));

    l.Heading(QStringLiteral("3. Методика"));
    const TVerificationResult* method = d.asLeft ? &*d.asLeft : d.asFound ? &*d.asFound : nullptr;
    if (method) {
        QStringList points;
        for (const TVerifyPoint& p : method->points)
            points << Dec(p.temperature, 1);
        l.Row(QStringLiteral("Точки калибровки, °C"), OrDash(points.join(QStringLiteral("; "))));
        l.Row(QStringLiteral("Установление показаний"), RuleText(method->readingRule, QStringLiteral("°C")));
        l.Row(QStringLiteral("Установление тока"), RuleText(method->currentRule, QStringLiteral("мА")));
        l.Row(QStringLiteral("Правило принятия решения"), OrDash(method->decisionRule));
        l.Row(QStringLiteral("Допуск"), QStringLiteral("±%1 % диапазона (показание и выходной ток)").arg(Dec(method->tolerancePct, 2)));
    } else {
        l.Paragraph(QStringLiteral("Настройка выходного тока по этапам программы; поверка не проводилась."));
    }

    l.Heading(QStringLiteral("4. Эталонные средства измерений"));
    QList<QStringList> instruments;
    if (method) {
        for (const TInstrumentInfo& i : method->instruments)
            instruments << QStringList{i.role == QLatin1String("meter") ? QStringLiteral("измерение тока")
                                       : i.role == QLatin1String("source") ? QStringLiteral("задание сопротивления")
                                                                           : OrDash(i.role),
                                       OrDash(i.model), OrDash(i.serial), OrDash(i.certificate),
                                       i.dueDate.isValid() ? i.dueDate.toString(QStringLiteral("dd.MM.yyyy"))
                                                           : QStringLiteral("—")};
    }
    if (instruments.isEmpty())
        l.Paragraph(QStringLiteral("Не указаны."));
    else
        l.Table({1.4, 1.4, 1, 1.3, 1},
                {QStringLiteral("Назначение"), QStringLiteral("Модель"), QStringLiteral("Зав. номер"),
                 QStringLiteral("Свидетельство"), QStringLiteral("Действительно до")},
                instruments);

    l.Heading(QStringLiteral("5. Условия окружающей среды"));
    l.Row(QStringLiteral("Температура воздуха"), std::isfinite(d.input.ambientTemperature)
                                                     ? Dec(d.input.ambientTemperature, 1) + QStringLiteral(" °C")
                                                     : QStringLiteral("—"));
    l.Row(QStringLiteral("Относительная влажность"),
          std::isfinite(d.input.humidity) ? Dec(d.input.humidity, 0) + QStringLiteral(" %") : QStringLiteral("—"));

    l.Heading(QStringLiteral("6. Результаты до настройки"));
    if (d.asFound)
        Results(l, *d.asFound);
    else
        l.Paragraph(QStringLiteral("Не определялись."));

    l.Heading(QStringLiteral("7. Настройка"));
    if (d.adjustment) {
        const TCalibrationRecord& c = *d.adjustment;
        QList<QStringList> rows;
        for (const TAdjustmentStage& s : d.stages)
            rows << QStringList{QString::number(s.stage), StageAction(s.stage, t.PLType),
                                s.currentUa >= 0 ? Dec(s.currentUa / 1000.0, 3) : QStringLiteral("—"),
                                s.accepted ? QStringLiteral("принят") : QStringLiteral("отклонён")};
        if (!rows.isEmpty())
            l.Table({0.6, 2, 1.4, 1},
                    {QStringLiteral("Этап"), QStringLiteral("Действие"), QStringLiteral("Измеренный ток, мА"),
                     QStringLiteral("Ответ прибора")},
                    rows);
        l.Row(QStringLiteral("Измеренный ток, этап 5"),
              c.current5 >= 0 ? Dec(c.current5 / 1000.0, 3) + QStringLiteral(" мА") : QStringLiteral("не принят"));
        l.Row(QStringLiteral("Измеренный ток, этап 6"),
              c.current6 >= 0 ? Dec(c.current6 / 1000.0, 3) + QStringLiteral(" мА") : QStringLiteral("не принят"));
        l.Row(QStringLiteral("Новая дата настройки"), OrDash(DateText(c.transducer.CalibrDate)));
    } else {
        l.Paragraph(QStringLiteral("Не проводилась."));
    }

    const bool alone = d.asLeft && d.asLeft->stage == TVerifyStage::vsAlone;
    l.Heading(alone ? QStringLiteral("8. Результаты калибровки") : QStringLiteral("8. Результаты после настройки"));
    if (d.asLeft)
        Results(l, *d.asLeft);
    else
        l.Paragraph(QStringLiteral("Не определялись."));

    l.Heading(QStringLiteral("9. Заключение"));
    l.Paragraph(QStringLiteral("Преобразователь %1.").arg(d.VerdictText()));

    l.SignatureLine(QStringLiteral("Калибровку выполнил"), d.input.technician);
    l.SignatureLine(QStringLiteral("Утвердил"), d.input.approver);
    l.Text(QString(), l.body(), Qt::AlignLeft, l.mm(3));
    l.Paragraph(CertificateStatement());
    l.Small(QStringLiteral("Программа «Зелкор», версия %1. Записи журнала приборов: %2.")
                .arg(d.programVersion, [&] {
                    QStringList ids;
                    for (qint64 id : d.recordIds)
                        ids << QString::number(id);
                    return ids.join(QStringLiteral(", "));
                }()));
    l.Small(QStringLiteral("SHA-256 сертифицированных данных: %1").arg(d.DataSha256()));

    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Не удалось создать документ %1").arg(path);
        return false;
    }
    painter.setPen(QPen(Qt::black, l.mm(0.2)));
    const int count = l.Print(painter);
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("Не удалось записать файл %1").arg(path);
        return false;
    }
    if (pages)
        *pages = count;
    return true;
}
