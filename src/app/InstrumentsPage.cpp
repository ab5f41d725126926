#include "app/InstrumentsPage.h"

#include "app/AccessibleNames.h"
#include "app/PumpingTicks.h"
#include "app/SerialPortList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kEmptyDate = QStringLiteral("  .  .    ");

struct TFormat {
    const char* text;
    int dataBits;
    int parity;
    int stopBits;
};
const TFormat kFormats[] = {{"8N1", 8, 0, 1}, {"8N2", 8, 0, 2}, {"8E1", 8, 2, 1},
                            {"8O1", 8, 1, 1}, {"7E1", 7, 2, 1}, {"7O1", 7, 1, 1}};

QString FormatText(const TInstrumentConfig& c)
{
    static const char parities[] = {'N', 'O', 'E'};
    return QStringLiteral("%1%2%3").arg(c.dataBits).arg(QLatin1Char(parities[c.parity >= 0 && c.parity <= 2 ? c.parity : 0])).arg(c.stopBits);
}

void SelectOrAdd(QComboBox* box, const QString& text)
{
    int i = box->findText(text);
    if (i < 0) {
        box->addItem(text);
        i = box->count() - 1;
    }
    box->setCurrentIndex(i);
}

QLabel* AddRow(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1);
    NameByLabel(field, label);
    return label;
}

QLineEdit* MakeEdit(const QString& name)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    return e;
}

} // namespace

QStringList UsbtmcDevices()
{
    QStringList out;
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& name : dev.entryList({QStringLiteral("usbtmc*")}, QDir::System | QDir::Files, QDir::Name))
        out << dev.filePath(name);
    return out;
}

TInstrumentsPage::TInstrumentsPage(TInstrumentSettings& settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("tsInstruments"));
    DevicePaths = [] {
        QStringList paths;
        for (const TSerialDevice& d : FindSerialDevices({}))
            paths << d.path;
        return paths + UsbtmcDevices();
    };
    DeviceFactory = SystemDeviceFactory();
    Ticks = &PumpingTicks();

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tcInstruments"));
    tabs->setAccessibleName(QStringLiteral("Эталоны"));
    tabs->addTab(BuildTab(TInstrumentRole::Meter, meter), QStringLiteral("Мультиметр"));
    tabs->addTab(BuildTab(TInstrumentRole::Source, source), QStringLiteral("Источник сопротивления"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs);
    LoadFromSettings();
}

QWidget* TInstrumentsPage::BuildTab(TInstrumentRole role, TControls& c)
{
    const bool isMeter = role == TInstrumentRole::Meter;
    const QString p = isMeter ? QStringLiteral("Meter") : QStringLiteral("Source");
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setAccessibleName(isMeter ? QStringLiteral("Мультиметр") : QStringLiteral("Источник сопротивления"));
    auto* body = new QWidget;
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    scroll->setWidget(body);

    int row = 0;
    c.device = new QComboBox;
    c.device->setObjectName(QStringLiteral("cb%1Device").arg(p));
    c.device->setEditable(true);
    c.device->setInsertPolicy(QComboBox::NoInsert);
    c.device->setToolTip(isMeter ? QStringLiteral("Пусто: ток вводится вручную")
                                 : QStringLiteral("Пусто: сопротивление устанавливается вручную"));
    AddRow(grid, row++, 0, QStringLiteral("Устройство:"), c.device);

    // Speed, format and line end side by side: they are set together.
    auto* line = new QWidget;
    auto* lineLayout = new QHBoxLayout(line);
    lineLayout->setContentsMargins(0, 0, 0, 0);
    c.baud = new QComboBox;
    c.baud->setObjectName(QStringLiteral("cb%1Baud").arg(p));
    c.baud->setAccessibleName(QStringLiteral("Скорость, бит/с"));
    for (const int b : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        c.baud->addItem(QString::number(b));
    c.format = new QComboBox;
    c.format->setObjectName(QStringLiteral("cb%1Format").arg(p));
    c.format->setAccessibleName(QStringLiteral("Формат"));
    for (const TFormat& f : kFormats)
        c.format->addItem(QLatin1String(f.text));
    c.terminator = new QComboBox;
    c.terminator->setObjectName(QStringLiteral("cb%1Terminator").arg(p));
    c.terminator->setAccessibleName(QStringLiteral("Конец строки"));
    c.terminator->addItems({QStringLiteral("LF"), QStringLiteral("CRLF"), QStringLiteral("CR")});
    lineLayout->addWidget(c.baud);
    lineLayout->addWidget(c.format);
    lineLayout->addWidget(c.terminator);
    lineLayout->addStretch(1);
    auto* lineLabel = new QLabel(QStringLiteral("Линия:"));
    grid->addWidget(lineLabel, row, 0);
    grid->addWidget(line, row++, 1);

    c.check = new QPushButton(QStringLiteral("Проверить связь"));
    c.check->setObjectName(QStringLiteral("btn%1Check").arg(p));
    grid->addWidget(c.check, row, 0);
    c.answer = new QLabel;
    c.answer->setObjectName(QStringLiteral("lb%1Answer").arg(p));
    c.answer->setWordWrap(true);
    c.answer->setTextFormat(Qt::PlainText);
    c.answer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    c.answer->setAccessibleName(QStringLiteral("Ответ прибора"));
    grid->addWidget(c.answer, row++, 1);

    c.model = MakeEdit(QStringLiteral("ed%1Model").arg(p));
    AddRow(grid, row++, 0, QStringLiteral("Модель:"), c.model);
    c.serial = MakeEdit(QStringLiteral("ed%1Serial").arg(p));
    AddRow(grid, row++, 0, QStringLiteral("Заводской №:"), c.serial);
    c.certificate = MakeEdit(QStringLiteral("ed%1Certificate").arg(p));
    AddRow(grid, row++, 0, QStringLiteral("Свидетельство №:"), c.certificate);
    c.dueDate = MakeEdit(QStringLiteral("me%1DueDate").arg(p));
    c.dueDate->setInputMask(QStringLiteral("99.99.9999; "));
    c.dueDate->setMaximumWidth(90);
    c.dueLabel = AddRow(grid, row++, 0, QStringLiteral("Действительно до:"), c.dueDate);

    c.identify = MakeEdit(QStringLiteral("ed%1Identify").arg(p));
    AddRow(grid, row++, 0, QStringLiteral("Опознание:"), c.identify);
    if (isMeter) {
        c.configure = MakeEdit(QStringLiteral("edMeterConfigure"));
        c.configure->setToolTip(QStringLiteral("Посылается один раз после открытия. Пусто: не посылать"));
        AddRow(grid, row++, 0, QStringLiteral("Настройка:"), c.configure);
        c.read = MakeEdit(QStringLiteral("edMeterRead"));
        c.read->setToolTip(QStringLiteral("Ответ — ток в амперах"));
        AddRow(grid, row++, 0, QStringLiteral("Измерение:"), c.read);
        c.autoRead = new QCheckBox(QStringLiteral("Считывать ток при начале этапа настройки"));
        c.autoRead->setObjectName(QStringLiteral("cbMeterAutoRead"));
        grid->addWidget(c.autoRead, row++, 0, 1, 2);
    } else {
        c.setResistance = MakeEdit(QStringLiteral("edSourceSetResistance"));
        c.setResistance->setToolTip(QStringLiteral("<ohms> заменяется значением сопротивления в омах"));
        AddRow(grid, row++, 0, QStringLiteral("Установка:"), c.setResistance);
        c.outputOn = MakeEdit(QStringLiteral("edSourceOutputOn"));
        AddRow(grid, row++, 0, QStringLiteral("Включение:"), c.outputOn);
        c.outputOff = MakeEdit(QStringLiteral("edSourceOutputOff"));
        AddRow(grid, row++, 0, QStringLiteral("Выключение:"), c.outputOff);
        c.confirm = MakeEdit(QStringLiteral("edSourceConfirm"));
        c.confirm->setToolTip(QStringLiteral("Запрос после каждой команды; ответ 1 — выполнено. Пусто: не спрашивать"));
        AddRow(grid, row++, 0, QStringLiteral("Подтверждение:"), c.confirm);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    auto store = [this, role] { Store(role); };
    connect(c.device, &QComboBox::currentTextChanged, this, store);
    for (QComboBox* box : {c.baud, c.format, c.terminator})
        connect(box, &QComboBox::currentIndexChanged, this, store);
    for (QLineEdit* e : {c.model, c.serial, c.certificate, c.identify, c.configure, c.read, c.setResistance,
                         c.outputOn, c.outputOff, c.confirm})
        if (e)
            connect(e, &QLineEdit::textChanged, this, store);
    connect(c.dueDate, &QLineEdit::textChanged, this, [this, role] {
        Store(role);
        ShowDueDate(role);
    });
    if (c.autoRead)
        connect(c.autoRead, &QCheckBox::toggled, this, store);
    connect(c.check, &QPushButton::clicked, this, [this, role] { CheckConnection(role); });
    return scroll;
}

TInstrumentConfig& TInstrumentsPage::Config(TInstrumentRole role)
{
    return role == TInstrumentRole::Meter ? static_cast<TInstrumentConfig&>(m_settings.meter)
                                          : static_cast<TInstrumentConfig&>(m_settings.source);
}

TInstrumentsPage::TControls& TInstrumentsPage::Controls(TInstrumentRole role)
{
    return role == TInstrumentRole::Meter ? meter : source;
}

void TInstrumentsPage::FillDeviceLists()
{
    const QStringList paths = DevicePaths ? DevicePaths() : QStringList{};
    for (QComboBox* box : {meter.device, source.device}) {
        const QSignalBlocker block(box);
        const QString current = box->currentText();
        box->clear();
        box->addItem(QString()); // none
        box->addItems(paths);
        const int i = box->findText(current);
        if (i >= 0)
            box->setCurrentIndex(i);
        else
            box->setEditText(current);
    }
}

void TInstrumentsPage::LoadFromSettings()
{
    m_loading = true;
    FillDeviceLists();
    for (const TInstrumentRole role : {TInstrumentRole::Meter, TInstrumentRole::Source}) {
        TControls& c = Controls(role);
        const TInstrumentConfig& cfg = Config(role);
        if (c.device->findText(cfg.device) >= 0)
            c.device->setCurrentIndex(c.device->findText(cfg.device));
        else
            c.device->setEditText(cfg.device);
        SelectOrAdd(c.baud, QString::number(cfg.baud));
        SelectOrAdd(c.format, FormatText(cfg));
        SelectOrAdd(c.terminator, cfg.terminator);
        c.model->setText(cfg.model);
        c.serial->setText(cfg.serial);
        c.certificate->setText(cfg.certificate);
        c.dueDate->setText(cfg.dueDate.isValid() ? cfg.dueDate.toString(kDateFormat) : QString());
        ShowDueDate(role);
    }
    meter.identify->setText(m_settings.meter.commands.identify);
    meter.configure->setText(m_settings.meter.commands.configure);
    meter.read->setText(m_settings.meter.commands.read);
    meter.autoRead->setChecked(m_settings.meter.autoRead);
    source.identify->setText(m_settings.source.commands.identify);
    source.setResistance->setText(m_settings.source.commands.setResistance);
    source.outputOn->setText(m_settings.source.commands.outputOn);
    source.outputOff->setText(m_settings.source.commands.outputOff);
    source.confirm->setText(m_settings.source.commands.confirm);
    m_loading = false;
}

void TInstrumentsPage::Store(TInstrumentRole role)
{
    if (m_loading)
        return;
    TControls& c = Controls(role);
    TInstrumentConfig& cfg = Config(role);
    cfg.device = c.device->currentText().trimmed();
    bool ok = false;
    const int baud = c.baud->currentText().toInt(&ok);
    if (ok && baud > 0)
        cfg.baud = uint32_t(baud);
    for (const TFormat& f : kFormats)
        if (c.format->currentText() == QLatin1String(f.text)) {
            cfg.dataBits = f.dataBits;
            cfg.parity = f.parity;
            cfg.stopBits = f.stopBits;
        }
    cfg.terminator = c.terminator->currentText();
    cfg.model = c.model->text().trimmed();
    cfg.serial = c.serial->text().trimmed();
    cfg.certificate = c.certificate->text().trimmed();
    // A half-typed date is no date; the field keeps what was typed.
    cfg.dueDate = QDate::fromString(c.dueDate->text(), kDateFormat);
    auto command = [](QLineEdit* e, const QString& def) {
        const QString t = e->text().trimmed();
        return t.isEmpty() ? def : t;
    };
    if (role == TInstrumentRole::Meter) {
        TMeterCommands& m = m_settings.meter.commands;
        const TMeterCommands d;
        m.identify = command(c.identify, d.identify);
        m.configure = c.configure->text().trimmed(); // empty: none sent
        m.read = command(c.read, d.read);
        m_settings.meter.autoRead = c.autoRead->isChecked();
    } else {
        TSourceCommands& s = m_settings.source.commands;
        const TSourceCommands d;
        s.identify = command(c.identify, d.identify);
        s.setResistance = command(c.setResistance, d.setResistance);
        s.outputOn = command(c.outputOn, d.outputOn);
        s.outputOff = command(c.outputOff, d.outputOff);
        s.confirm = c.confirm->text().trimmed();
    }
}

void TInstrumentsPage::ShowDueDate(TInstrumentRole role)
{
    TControls& c = Controls(role);
    const bool overdue = CertificateOverdue(Config(role), Today ? Today() : QDate::currentDate());
    QPalette p = c.dueDate->palette();
    p.setColor(QPalette::Text, overdue ? QColor(Qt::red) : palette().color(QPalette::Text));
    c.dueDate->setPalette(p);
    QPalette lp = c.dueLabel->palette();
    lp.setColor(QPalette::WindowText, overdue ? QColor(Qt::red) : palette().color(QPalette::WindowText));
    c.dueLabel->setPalette(lp);
    c.dueDate->setToolTip(overdue ? QStringLiteral("Срок действия свидетельства истёк") : QString());
    c.dueDate->setProperty("overdue", overdue);
}

bool TInstrumentsPage::DueDateShownOverdue(TInstrumentRole role) const
{
    const TControls& c = role == TInstrumentRole::Meter ? meter : source;
    return c.dueDate->property("overdue").toBool();
}

bool TInstrumentsPage::CheckConnection(TInstrumentRole role)
{
    Store(role);
    TControls& c = Controls(role);
    const TInstrumentConfig& cfg = Config(role);
    auto show = [&](const QString& text, bool failed) {
        QPalette p = c.answer->palette();
        p.setColor(QPalette::WindowText, failed ? QColor(Qt::red) : palette().color(QPalette::WindowText));
        c.answer->setPalette(p);
        c.answer->setText(text);
    };
    show(QStringLiteral("Запрос…"), false);
    c.check->setEnabled(false);
    QString error;
    TScpiIdentity id;
    bool ok = false;
    ITickSource& ticks = Ticks ? *Ticks : PumpingTicks();
    if (std::unique_ptr<TScpiClient> client = OpenInstrument(role, cfg, ticks, DeviceFactory, &error)) {
        const QString command = role == TInstrumentRole::Meter ? m_settings.meter.commands.identify
                                                               : m_settings.source.commands.identify;
        ok = IdentifyInstrument(*client, command, id, &error);
    }
    c.check->setEnabled(true);
    if (!ok) {
        show(error, true);
        return false;
    }
    show(QStringLiteral("Ответ: %1").arg(id.text), false);
    c.model->setText(id.maker.isEmpty() ? id.model : id.maker + QLatin1Char(' ') + id.model);
    if (!id.serial.isEmpty())
        c.serial->setText(id.serial);
    return true;
}
