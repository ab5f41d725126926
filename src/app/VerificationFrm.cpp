#include "app/VerificationFrm.h"

#include "app/LookServices.h"
#include "device/TransducerController.h"
#include "app/ProgSettings.h"
#include "device/DeviceSession.h"
#include "device/OutputCurrent.h"
#include "device/SensorCharacteristic.h"
#include "link/CommPortDriver.h"
#include "link/MessageDialog.h"
#include "rbcontrols/RbButton.h"

#include <QDoubleValidator>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>

#include <cmath>

namespace {

const QColor kFailColor(0xF4, 0xC7, 0xC3);
const QColor kPassColor(0xD4, 0xED, 0xD4);
const QColor kPassText(0, 128, 0);
const QColor kFailText(192, 0, 0);

QString Fixed(double v, int decimals)
{
    if (!std::isfinite(v))
        return QString();
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(v, 'f', decimals);
}

// A sign in front of every error, so a small negative one is not taken for a positive.
QString Signed(double v, int decimals)
{
    const QString text = Fixed(v, decimals);
    return std::isfinite(v) && v >= 0 ? QStringLiteral("+") + text : text;
}

QString SensorText(const TTransducerData& t)
{
    QString kind;
    switch (t.SensorKind) {
    case skPt391: kind = QStringLiteral("ТСП %1П, α = 0,00391"); break;
    case skPt385: kind = QStringLiteral("ТСП Pt%1, α = 0,00385"); break;
    default: kind = QStringLiteral("ТСМ %1М, α = 0,00428"); break;
    }
    const TOutputRange out = OutputRangeOf(t.PLType);
    return QStringLiteral("%1; выход %2–%3 мА, %4; диапазон %5…%6 °C")
        .arg(kind.arg(t.R0), Fixed(out.low, 0), Fixed(out.high, 0),
             t.DirectLeadOut ? QStringLiteral("прямой") : QStringLiteral("инверсный"))
        .arg(t.BottomTempBound)
        .arg(t.TopTempBound);
}

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

QString TfrmVerification::StageText(TVerifyStage stage)
{
    switch (stage) {
    case TVerifyStage::vsAsFound: return QStringLiteral("Проверка до настройки");
    case TVerifyStage::vsAsLeft: return QStringLiteral("Проверка после настройки");
    default: return QStringLiteral("Проверка без настройки");
    }
}

TfrmVerification::TfrmVerification(TTransducerController& ctrl, TProgSettings& settings, ILookServices& look,
                                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_session(ctrl.Session())
    , m_settings(settings)
    , m_ctrl(ctrl)
    , m_look(look)
    , m_currentReader(&m_typed)
{
    setObjectName(QStringLiteral("frmVerification"));
    setWindowTitle(QStringLiteral("Проверка преобразователя"));
    setModal(true);
    m_typed.Typed = [this](const TVerifyPoint&) { return TypedCurrent(m_measuringRow); };
    m_reader = std::make_unique<TPointReader>(m_session, *m_currentReader);
    m_sampleTimer.setInterval(TPointReader::kSampleIntervalMs);
    connect(&m_sampleTimer, &QTimer::timeout, this, &TfrmVerification::SampleTimerTimer);
    CreateControls();
    m_look.AdoptSchemeLook(this, {btnPlan, btnClose}, {this});
}

TfrmVerification::~TfrmVerification()
{
    m_sampleTimer.stop();
}

void TfrmVerification::CreateControls()
{
    setFixedSize(900, 470);
    lbUnit = MakeLabel(QStringLiteral("lbUnit"), QString(), this);
    lbUnit->setGeometry(10, 8, 640, 18);
    lbStage = MakeLabel(QStringLiteral("lbStage"), QString(), this);
    lbStage->setGeometry(660, 8, 230, 18);
    lbStage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = lbStage->font();
    bold.setBold(true);
    lbStage->setFont(bold);

    lbPoints = MakeLabel(QStringLiteral("lbPoints"), QStringLiteral("Число точек:"), this);
    lbPoints->setGeometry(10, 36, 90, 21);
    rsePoints = new QSpinBox(this);
    rsePoints->setObjectName(QStringLiteral("rsePoints"));
    rsePoints->setRange(kMinVerifyPoints, kMaxVerifyPoints);
    rsePoints->setGeometry(100, 36, 50, 21);
    lbPoints->setBuddy(rsePoints);
    rsePoints->setAccessibleName(QStringLiteral("Число точек"));
    lbTemperatures = MakeLabel(QStringLiteral("lbTemperatures"), QStringLiteral("или температуры, °C:"), this);
    lbTemperatures->setGeometry(170, 36, 140, 21);
    edTemperatures = new QLineEdit(this);
    edTemperatures->setObjectName(QStringLiteral("edTemperatures"));
    edTemperatures->setPlaceholderText(QStringLiteral("например: 0; 50; 100"));
    edTemperatures->setGeometry(310, 36, 250, 21);
    lbTemperatures->setBuddy(edTemperatures);
    edTemperatures->setAccessibleName(QStringLiteral("Температуры точек"));
    btnPlan = new TRbButton(this);
    btnPlan->setObjectName(QStringLiteral("btnPlan"));
    btnPlan->SetCaption(QStringLiteral("Задать точки"));
    btnPlan->SetBounds(570, 34, 110, 25);
    connect(btnPlan, &TRbButton::clicked, this, &TfrmVerification::btnPlanClick);

    lbLimits = MakeLabel(QStringLiteral("lbLimits"), QString(), this);
    lbLimits->setGeometry(10, 66, 880, 18);
    lbSettling = MakeLabel(QStringLiteral("lbSettling"), QString(), this);
    lbSettling->setGeometry(10, 86, 880, 18);

    tblPoints = new QTableWidget(0, colCount, this);
    tblPoints->setObjectName(QStringLiteral("tblPoints"));
    tblPoints->setAccessibleName(QStringLiteral("Точки проверки"));
    tblPoints->setGeometry(10, 110, 880, 270);
    tblPoints->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("T, °C"), QStringLiteral("R, Ом"),
                                          QStringLiteral("I ожид., мА"), QStringLiteral("Показание, °C"),
                                          QStringLiteral("ΔT, °C"), QStringLiteral("ΔT, %"),
                                          QStringLiteral("I изм., мА"), QStringLiteral("ΔI, мА"),
                                          QStringLiteral("ΔI, %"), QString(), QStringLiteral("Итог")});
    tblPoints->verticalHeader()->hide();
    tblPoints->horizontalHeader()->setStretchLastSection(true);
    tblPoints->setSelectionMode(QAbstractItemView::NoSelection);
    tblPoints->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[colCount] = {30, 60, 70, 80, 95, 65, 65, 85, 70, 65, 85, 80};
    for (int c = 0; c < colCount; ++c)
        tblPoints->setColumnWidth(c, widths[c]);

    lbProgress = MakeLabel(QStringLiteral("lbProgress"), QString(), this);
    lbProgress->setGeometry(10, 388, 600, 36);
    lbProgress->setWordWrap(true);
    lbVerdict = MakeLabel(QStringLiteral("lbVerdict"), QString(), this);
    lbVerdict->setGeometry(620, 386, 270, 40);
    lbVerdict->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont big = lbVerdict->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 8);
    lbVerdict->setFont(big);
    lbVerdict->setAccessibleName(QStringLiteral("Заключение"));

    btnClose = new TRbButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->SetCaption(QStringLiteral("Закрыть"));
    btnClose->SetBounds(805, 436, 85, 25);
    connect(btnClose, &TRbButton::clicked, this, &QDialog::close);
}

void TfrmVerification::SetCurrentReader(ICurrentReader* reader)
{
    if (m_measuringRow >= 0)
        return; // not while a point is being measured
    m_currentReader = reader ? reader : &m_typed;
    m_reader = std::make_unique<TPointReader>(m_session, *m_currentReader);
    m_reader->SetRules(m_verification.Result().readingRule, m_verification.Result().currentRule);
    for (int row = 0; row < tblPoints->rowCount(); ++row)
        if (QLineEdit* e = CurrentEdit(row))
            e->setReadOnly(m_currentReader->Live());
}

bool TfrmVerification::Prepare(TVerifyStage stage)
{
    m_stage = stage;
    const QSignalBlocker block(rsePoints);
    rsePoints->setValue(m_settings.VerifyPoints);
    edTemperatures->clear();
    TVerifyPlan plan;
    plan.count = m_settings.VerifyPoints;
    return BeginPlan(plan);
}

bool TfrmVerification::BeginPlan(const TVerifyPlan& plan)
{
    if (!m_ctrl.IsConnected()) {
        m_session.Messages().Show(QStringLiteral("Соединение не установлено"), mkInformation, mbOk);
        return false;
    }
    // The configuration as the device holds it: the record unless the page
    // has edits not written, then the values last read.
    TTransducerData unit = m_session.Transducer;
    if (unit.ConfModified)
        CopyConfigFields(unit, m_session.TransducerSnapshot);
    const TDecisionRule rule = m_settings.VerifyDecisionRule == 1 ? TDecisionRule::drGuarded : TDecisionRule::drSimple;
    QString error;
    if (!m_verification.Begin(unit, plan, m_settings.VerifyTolerancePct, rule, m_stage, &error)) {
        m_session.Messages().Show(error, mkError, mbOk);
        return false;
    }
    TVerificationResult& r = m_verification.Result();
    if (const auto meter = m_currentReader->Instrument())
        r.instruments << *meter;
    if (m_resistanceSource)
        if (const auto source = m_resistanceSource->Instrument())
            r.instruments << *source;
    m_reader->SetRules(r.readingRule, r.currentRule);
    lbUnit->setText(SensorText(unit));
    lbStage->setText(StageText(m_stage));
    ShowLimits();
    FillTable();
    ShowVerdict();
    lbProgress->setText(QStringLiteral("Установите сопротивление точки, введите измеренный ток и нажмите "
                                       "\"Измерить\"."));
    return true;
}

void TfrmVerification::ShowLimits()
{
    const TVerificationResult& r = m_verification.Result();
    const double limit = m_verification.AcceptancePct();
    lbLimits->setText(QStringLiteral("Допуск ±%1 % диапазона: ±%2 °C и ±%3 мА; %4")
                          .arg(Fixed(r.tolerancePct, 3), Fixed(m_verification.SpanDegrees() * limit / 100, 2),
                               Fixed(m_verification.SpanMilliamps() * limit / 100, 3), r.decisionRule));
    const TSettlingRule& s = r.readingRule;
    lbSettling->setText(QStringLiteral("Показание установилось: %1 измерений подряд, разброс не более %2 °C, "
                                       "дрейф не более %3 °C/с")
                            .arg(s.samples)
                            .arg(Fixed(s.spread, 2), Fixed(s.slope, 2)));
}

void TfrmVerification::FillTable()
{
    tblPoints->clearContents();
    tblPoints->setRowCount(m_verification.PointCount());
    for (int row = 0; row < m_verification.PointCount(); ++row) {
        for (int c = 0; c < colCount; ++c) {
            if (c == colCurrent || c == colMeasure)
                continue;
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblPoints->setItem(row, c, item);
        }
        auto* edit = new QLineEdit(tblPoints);
        edit->setAlignment(Qt::AlignRight);
        auto* validator = new QDoubleValidator(0.0, 30.0, 4, edit);
        validator->setNotation(QDoubleValidator::StandardNotation);
        edit->setValidator(validator);
        edit->setReadOnly(m_currentReader->Live());
        edit->setAccessibleName(QStringLiteral("Измеренный ток, точка %1").arg(row + 1));
        tblPoints->setCellWidget(row, colCurrent, edit);
        auto* button = new QPushButton(QStringLiteral("Измерить"), tblPoints);
        button->setAccessibleName(QStringLiteral("Измерить, точка %1").arg(row + 1));
        connect(button, &QPushButton::clicked, this, [this, row] { btnMeasureClick(row); });
        tblPoints->setCellWidget(row, colMeasure, button);
        ShowRow(row);
    }
}

QLineEdit* TfrmVerification::CurrentEdit(int row) const
{
    return qobject_cast<QLineEdit*>(tblPoints->cellWidget(row, colCurrent));
}

QPushButton* TfrmVerification::MeasureButton(int row) const
{
    return qobject_cast<QPushButton*>(tblPoints->cellWidget(row, colMeasure));
}

std::optional<double> TfrmVerification::TypedCurrent(int row) const
{
    const QLineEdit* e = row >= 0 ? CurrentEdit(row) : nullptr;
    if (!e)
        return std::nullopt;
    QString text = e->text().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    // A decimal comma or a point, whichever was typed.
    bool ok = false;
    const double v = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

void TfrmVerification::ShowRow(int row)
{
    const TVerifyPoint& p = m_verification.Point(row);
    auto set = [this, row](int c, const QString& text) {
        if (QTableWidgetItem* item = tblPoints->item(row, c))
            item->setText(text);
    };
    auto mark = [this, row](int c, bool measured, bool pass) {
        QTableWidgetItem* item = tblPoints->item(row, c);
        if (!item)
            return;
        item->setBackground(measured ? (pass ? kPassColor : kFailColor) : QBrush());
    };
    set(colNo, QString::number(row + 1));
    set(colTemperature, Fixed(p.temperature, 1));
    set(colResistance, Fixed(p.resistance, 2));
    set(colExpected, Fixed(p.expectedCurrent, 3));
    set(colReading, Fixed(p.reading, 2));
    set(colDigitalError, Signed(p.digitalError, 2));
    set(colDigitalErrorPct, Signed(p.digitalErrorPct, 3));
    set(colOutputError, Signed(p.outputError, 3));
    set(colOutputErrorPct, Signed(p.outputErrorPct, 3));
    const bool measured = p.Measured();
    set(colResult, measured ? (p.pass ? QStringLiteral("годен") : QStringLiteral("не годен")) : QString());
    for (const int c : {colReading, colDigitalError, colDigitalErrorPct})
        mark(c, measured, p.digitalPass);
    for (const int c : {colOutputError, colOutputErrorPct})
        mark(c, measured, p.outputPass);
    mark(colResult, measured, p.pass);
    if (QTableWidgetItem* item = tblPoints->item(row, colResult))
        item->setForeground(p.pass ? kPassText : kFailText);
    if (QLineEdit* e = CurrentEdit(row); e && measured && m_currentReader->Live())
        e->setText(Fixed(p.current, 3));
}

void TfrmVerification::ShowVerdict()
{
    const TVerificationResult& r = m_verification.Result();
    int measured = 0;
    for (const TVerifyPoint& p : r.points)
        measured += p.Measured() ? 1 : 0;
    QPalette pal = lbVerdict->palette();
    if (!r.complete) {
        lbVerdict->setText(QStringLiteral("%1 из %2").arg(measured).arg(r.points.size()));
        pal.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
    } else {
        lbVerdict->setText(r.pass ? QStringLiteral("ГОДЕН") : QStringLiteral("НЕ ГОДЕН"));
        pal.setColor(QPalette::WindowText, r.pass ? kPassText : kFailText);
    }
    lbVerdict->setPalette(pal);
}

void TfrmVerification::btnPlanClick()
{
    if (m_measuringRow >= 0)
        return;
    TVerifyPlan plan;
    plan.count = rsePoints->value();
    const QString typed = edTemperatures->text().trimmed();
    if (!typed.isEmpty()) {
        // "0; 25,5; 100" or "0 25.5 100": the decimal comma stays inside a number.
        for (QString part : typed.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts)) {
            bool ok = false;
            const double t = part.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
            if (!ok) {
                m_session.Messages().Show(QStringLiteral("Неверное значение температуры: %1").arg(part), mkError, mbOk);
                return;
            }
            plan.temperatures << t;
        }
    }
    BeginPlan(plan);
}

void TfrmVerification::btnMeasureClick(int row)
{
    if (row < 0 || row >= m_verification.PointCount())
        return;
    if (m_measuringRow >= 0) {
        if (row == m_measuringRow)
            StopMeasuring(QStringLiteral("Измерение прервано."));
        return;
    }
    if (!m_ctrl.IsConnected()) {
        m_session.Messages().Show(QStringLiteral("Соединение не установлено"), mkInformation, mbOk);
        return;
    }
    if (m_session.State.CalibrStage > 1) {
        m_session.Messages().Show(QStringLiteral("Идёт настройка: проверка возможна до её начала или после окончания."), mkError,
                   mbOk);
        return;
    }
    const TVerifyPoint point = m_verification.Point(row);
    if (m_resistanceSource) {
        QString why;
        if (!m_resistanceSource->SetResistance(point.resistance, &why)) {
            m_session.Messages().Show(why, mkError, mbOk);
            return;
        }
    }
    m_measuringRow = row;
    if (!m_reader->Start(point)) {
        m_measuringRow = -1;
        m_session.Messages().Show(m_reader->Error(), mkError, mbOk);
        if (QLineEdit* e = CurrentEdit(row))
            e->setFocus();
        return;
    }
    // The measuring loop must not ask while the point's readings are taken.
    m_diagnosticsWasRunning = m_ctrl.PauseDiagnosticsTimer();
    for (int r = 0; r < tblPoints->rowCount(); ++r)
        if (QPushButton* b = MeasureButton(r))
            b->setEnabled(r == row);
    if (QPushButton* b = MeasureButton(row))
        b->setText(QStringLiteral("Стоп"));
    btnPlan->setEnabled(false);
    SampleTimerTimer();
    if (m_measuringRow >= 0)
        m_sampleTimer.start();
}

void TfrmVerification::SampleTimerTimer()
{
    if (m_measuringRow < 0) {
        m_sampleTimer.stop();
        return;
    }
    const int row = m_measuringRow;
    const TPointStatus status = m_reader->Step();
    ShowProgress();
    if (status == TPointStatus::Sampling)
        return;
    if (status == TPointStatus::Failed) {
        const QString why = m_reader->Error();
        const bool lost = !m_ctrl.IsConnected();
        EndMeasuring();
        if (!lost) // a lost device has had its message already
            m_session.Messages().Show(why, mkError, mbOk);
        lbProgress->setText(QStringLiteral("Точка %1 не измерена: %2").arg(row + 1).arg(why));
        return;
    }
    m_verification.SetMeasurement(row, m_reader->Reading(), m_reader->ReadingJudge().Spread(), m_reader->Current());
    EndMeasuring();
    ShowRow(row);
    if (m_verification.Complete())
        m_verification.Finish(&m_session.events);
    ShowVerdict();
    lbProgress->setText(QStringLiteral("Точка %1 измерена.").arg(row + 1));
}

void TfrmVerification::ShowProgress()
{
    const TSettlingJudge& j = m_reader->ReadingJudge();
    if (m_measuringRow < 0 || j.Count() == 0)
        return;
    if (QTableWidgetItem* item = tblPoints->item(m_measuringRow, colReading))
        item->setText(Fixed(j.Mean(), 2));
    lbProgress->setText(QStringLiteral("Точка %1: измерений %2, среднее %3 °C, разброс %4 °C, дрейф %5 °C/с")
                            .arg(m_measuringRow + 1)
                            .arg(j.Count())
                            .arg(Fixed(j.Mean(), 2), Fixed(j.Spread(), 2), Fixed(j.Slope(), 3)));
}

void TfrmVerification::EndMeasuring()
{
    m_sampleTimer.stop();
    const int row = m_measuringRow;
    m_measuringRow = -1;
    for (int r = 0; r < tblPoints->rowCount(); ++r)
        if (QPushButton* b = MeasureButton(r)) {
            b->setEnabled(true);
            b->setText(QStringLiteral("Измерить"));
        }
    btnPlan->setEnabled(true);
    if (row >= 0 && !m_verification.Point(row).Measured())
        ShowRow(row);
    if (m_ctrl.IsConnected())
        m_ctrl.ResumeDiagnosticsTimer(m_diagnosticsWasRunning);
}

void TfrmVerification::StopMeasuring(const QString& why)
{
    if (m_measuringRow < 0)
        return;
    const int row = m_measuringRow;
    m_reader->Cancel();
    EndMeasuring();
    lbProgress->setText(QStringLiteral("Точка %1 не измерена: %2").arg(row + 1).arg(why));
}

void TfrmVerification::hideEvent(QHideEvent* event)
{
    StopMeasuring(QStringLiteral("окно проверки закрыто."));
    QDialog::hideEvent(event);
}
