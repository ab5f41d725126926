#include "app/ConfigurationPage.h"

#include "app/AccessibleNames.h"
#include "device/Configuration.h"
#include "device/Information.h"
#include "device/DeviceSession.h"
#include "app/KeptEdits.h"
#include "app/LookServices.h"
#include "device/TransducerController.h"
#include "app/PressGuard.h"
#include "link/MessageDialog.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbStyleManager.h"
#include "rbcontrols/TextContrast.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTimer>

#include <tuple>

namespace {

const QString kNotConnected = QStringLiteral("Соединение не установлено");
const QString kNotSaved = QStringLiteral("Соединение не установлено. Изменения конфигурации не сохранены.");
const QString kAskSave = QStringLiteral("Записать изменения конфигурации в память преобразователя?");
const QString kUnsupported = QStringLiteral("Прибор не поддерживается программой");

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);

// Before the first sensor kind the range fields take any 4 typed characters.
constexpr int kFreeMin = -999;
constexpr int kFreeMax = 9999;

TRbPanel* MakeGroup(const QString& name, const QString& caption, QWidget* parent)
{
    auto* p = new TRbPanel(parent);
    p->setObjectName(name);
    p->SetCaptionPosition(cpGroupBox);
    p->SetCaption(caption);
    return p;
}

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent, const QColor& color = QColor())
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    if (color.isValid())
        KeepTextContrast(l, color); // lighter on a dark scheme, where maroon and blue vanish
    return l;
}

QSpinBox* MakeSpin(const QString& name, int min, int max, QWidget* parent)
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setFixedWidth(58);
    return s;
}

TRbButton* MakeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new TRbButton(parent);
    b->setObjectName(name);
    b->SetCaption(caption);
    return b;
}

} // namespace

TConfigurationPage::TConfigurationPage(TTransducerController& ctrl, ILookServices& look, QWidget* parent)
    : QWidget(parent)
    , m_session(ctrl.Session())
    , m_ctrl(ctrl)
    , m_look(look)
{
    setObjectName(QStringLiteral("tsConfiguration"));
    CreateControls();
    ConnectHandlers();
}

TConfigurationPage::~TConfigurationPage() = default;

void TConfigurationPage::CreateControls()
{
    // Sensor kind: each option is a radio button and two labels acting as one.
    pnSensorType = MakeGroup(QStringLiteral("pnSensorType"), QStringLiteral("Тип датчика"), this);
    rbPl_391 = MakeOption(QStringLiteral("rbPl_391"), QStringLiteral("ТСП, "), pnSensorType);
    lbPt_391 = MakeLabel(QStringLiteral("lbPt_391"), QStringLiteral("α"), pnSensorType);
    Label1 = MakeLabel(QStringLiteral("Label1"), QStringLiteral(" = 0,00391"), pnSensorType);
    rbPl_385 = MakeOption(QStringLiteral("rbPl_385"), QStringLiteral("ТСП,"), pnSensorType);
    lbPt_385 = MakeLabel(QStringLiteral("lbPt_385"), QStringLiteral("α"), pnSensorType);
    Label9 = MakeLabel(QStringLiteral("Label9"), QStringLiteral(" = 0,00385"), pnSensorType);
    rbCu = MakeOption(QStringLiteral("rbCu"), QStringLiteral("ТСМ,"), pnSensorType);
    lbCu = MakeLabel(QStringLiteral("lbCu"), QStringLiteral("α"), pnSensorType);
    Label10 = MakeLabel(QStringLiteral("Label10"), QStringLiteral(" = 0,00428"), pnSensorType);
    {
        auto* grid = new QGridLayout(pnSensorType);
        grid->setContentsMargins(10, 4, 6, 4);
        grid->setHorizontalSpacing(0);
        grid->setVerticalSpacing(2);
        QWidget* cells[3][3] = {{rbPl_391, lbPt_391, Label1}, {rbPl_385, lbPt_385, Label9}, {rbCu, lbCu, Label10}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                grid->addWidget(cells[r][c], r, c);
        grid->setColumnStretch(3, 1);
    }
    // The α and the coefficient are labels of their own; the option is read out whole.
    for (auto [option, alpha, value] : {std::tuple{rbPl_391, lbPt_391, Label1}, std::tuple{rbPl_385, lbPt_385, Label9},
                                        std::tuple{rbCu, lbCu, Label10}})
        option->setAccessibleName(option->Caption().trimmed() + QLatin1Char(' ') + alpha->text() + value->text());

    // Alarm current: one group per transducer type, at the same place.
    pnAlarmCur4D = MakeGroup(QStringLiteral("pnAlarmCur4D"), QStringLiteral("Аварийный сигнал"), this);
    rbI3_6 = MakeOption(QStringLiteral("rbI3_6"), QStringLiteral("3,2 мА"), pnAlarmCur4D);
    rbI3_8 = MakeOption(QStringLiteral("rbI3_8"), QStringLiteral("3,6 мА"), pnAlarmCur4D);
    rbI21 = MakeOption(QStringLiteral("rbI21"), QStringLiteral("21 мА"), pnAlarmCur4D);
    rbI22 = MakeOption(QStringLiteral("rbI22"), QStringLiteral("22 мА"), pnAlarmCur4D);
    {
        auto* box = new QVBoxLayout(pnAlarmCur4D);
        box->setContentsMargins(10, 4, 6, 4);
        box->setSpacing(2);
        for (QWidget* w : {rbI3_6, rbI3_8, rbI21, rbI22})
            box->addWidget(w);
    }
    pnAlarmCur4E = MakeGroup(QStringLiteral("pnAlarmCur4E"), QStringLiteral("Аварийный сигнал"), this);
    rbI0 = MakeOption(QStringLiteral("rbI0"), QStringLiteral("0 мА"), pnAlarmCur4E);
    rbI5_5 = MakeOption(QStringLiteral("rbI5_5"), QStringLiteral("5,5 мА"), pnAlarmCur4E);
    {
        auto* box = new QVBoxLayout(pnAlarmCur4E);
        box->setContentsMargins(10, 4, 6, 4);
        box->setSpacing(2);
        box->addWidget(rbI0);
        box->addWidget(rbI5_5);
        box->addStretch();
    }
    pnAlarmCur4E->hide();

    // Range: the upper bound in maroon, the lower one in blue.
    pnTempRenge = MakeGroup(QStringLiteral("pnTempRenge"), QStringLiteral("Диапазон измерения"), this);
    Label6 = MakeLabel(QStringLiteral("Label6"), QStringLiteral("Верхняя граница"), pnTempRenge, kMaroon);
    rseTopTempBound = MakeSpin(QStringLiteral("rseTopTempBound"), kFreeMin, kFreeMax, pnTempRenge);
    Label3 = MakeLabel(QStringLiteral("Label3"), QStringLiteral("Не более"), pnTempRenge, kMaroon);
    lbMaxTemp = MakeLabel(QStringLiteral("lbMaxTemp"), QString(), pnTempRenge, kMaroon);
    Label7 = MakeLabel(QStringLiteral("Label7"), QStringLiteral("Нижняя граница"), pnTempRenge, kBlue);
    rseBottomTempBound = MakeSpin(QStringLiteral("rseBottomTempBound"), kFreeMin, kFreeMax, pnTempRenge);
    rseTopTempBound->setFixedWidth(52);
    rseBottomTempBound->setFixedWidth(52);
    Label5 = MakeLabel(QStringLiteral("Label5"), QStringLiteral("Не менее"), pnTempRenge, kBlue);
    lbMinTemp = MakeLabel(QStringLiteral("lbMinTemp"), QString(), pnTempRenge, kBlue);
    {
        auto* grid = new QGridLayout(pnTempRenge);
        grid->setContentsMargins(8, 4, 6, 4);
        grid->setHorizontalSpacing(4);
        grid->setVerticalSpacing(4);
        grid->addWidget(Label6, 0, 0);
        grid->addWidget(rseTopTempBound, 0, 1);
        grid->addWidget(Label3, 0, 2);
        grid->addWidget(lbMaxTemp, 0, 3);
        grid->addWidget(Label7, 1, 0);
        grid->addWidget(rseBottomTempBound, 1, 1);
        grid->addWidget(Label5, 1, 2);
        grid->addWidget(lbMinTemp, 1, 3);
        grid->setColumnStretch(3, 1);
    }
    NameByLabel(rseTopTempBound, Label6);
    NameByLabel(rseBottomTempBound, Label7);

    pnR = MakeGroup(QStringLiteral("pnR"), QStringLiteral("Сопротивление датчика"), this);
    rbR100 = MakeOption(QStringLiteral("rbR100"), QStringLiteral("100 Ом"), pnR);
    rbR50 = MakeOption(QStringLiteral("rbR50"), QStringLiteral("50 Ом"), pnR);
    {
        auto* row = new QHBoxLayout(pnR);
        row->setContentsMargins(10, 2, 6, 2);
        row->addWidget(rbR100);
        row->addWidget(rbR50);
        row->addStretch();
    }

    pnAverage = MakeGroup(QStringLiteral("pnAverage"), QStringLiteral("Усреднение измерений"), this);
    cbAverageTurnOn = new TRbCheckBox(pnAverage);
    cbAverageTurnOn->setObjectName(QStringLiteral("cbAverageTurnOn"));
    cbAverageTurnOn->SetCaption(QStringLiteral("Включить усреднение"));
    cbAverageTurnOn->setMinimumWidth(QFontMetrics(cbAverageTurnOn->font()).horizontalAdvance(cbAverageTurnOn->Caption()) + 24);
    rseAverage = MakeSpin(QStringLiteral("rseAverage"), 1, 30, pnAverage);
    rseAverage->setFixedWidth(46);
    rseAverage->setValue(1);
    RxLabel1 = MakeLabel(QStringLiteral("RxLabel1"), QStringLiteral("сек."), pnAverage);
    rseAverage->setAccessibleName(QStringLiteral("Время усреднения, сек."));
    {
        auto* row = new QHBoxLayout(pnAverage);
        row->setContentsMargins(10, 2, 8, 2);
        row->setSpacing(6);
        row->addWidget(cbAverageTurnOn);
        row->addWidget(rseAverage);
        row->addWidget(RxLabel1);
        row->addStretch();
    }

    pnLeadOutWire = MakeGroup(QStringLiteral("pnLeadOutWire"), QStringLiteral("Токовый выход"), this);
    rbDirectLeadOut = MakeOption(QStringLiteral("rbDirectLeadOut"), QStringLiteral("Прямой"), pnLeadOutWire);
    rbInversLeadOut = MakeOption(QStringLiteral("rbInversLeadOut"), QStringLiteral("Инверсный"), pnLeadOutWire);
    {
        auto* row = new QHBoxLayout(pnLeadOutWire);
        row->setContentsMargins(10, 2, 6, 2);
        row->addWidget(rbDirectLeadOut);
        row->addWidget(rbInversLeadOut);
        row->addStretch();
    }

    PnConfSlaveID = MakeGroup(QStringLiteral("PnConfSlaveID"), QStringLiteral("Адрес (1..255)"), this);
    rseConfSlaveID = MakeSpin(QStringLiteral("rseConfSlaveID"), 1, 255, PnConfSlaveID);
    rseConfSlaveID->setAccessibleName(PnConfSlaveID->Caption());
    {
        auto* row = new QHBoxLayout(PnConfSlaveID);
        row->setContentsMargins(10, 2, 6, 2);
        row->addWidget(rseConfSlaveID);
        row->addStretch();
    }

    btnConfRead = MakeButton(QStringLiteral("btnConfRead"), QStringLiteral("Прочитать"), this);
    btnConfWrite = MakeButton(QStringLiteral("btnConfWrite"), QStringLiteral("Записать"), this);

    // The page is 575 x 255 in the window; three columns of groups.
    pnSensorType->setGeometry(6, 4, 156, 88);
    pnR->setGeometry(6, 96, 156, 46);
    PnConfSlaveID->setGeometry(6, 146, 156, 46);
    pnTempRenge->setGeometry(168, 4, 268, 70);
    pnAverage->setGeometry(168, 78, 268, 46);
    pnLeadOutWire->setGeometry(168, 128, 268, 46);
    pnAlarmCur4D->setGeometry(442, 4, 128, 106);
    pnAlarmCur4E->setGeometry(442, 4, 128, 106);
    btnConfRead->SetBounds(390, 200, 85, 25);
    btnConfWrite->SetBounds(485, 200, 85, 25);
}

void TConfigurationPage::ConnectHandlers()
{
    // Options answer the user's click only; filling the page does not run them.
    connect(rbPl_391, &TOptionButton::clicked, this, &TConfigurationPage::rbPl_391Click);
    connect(rbPl_385, &TOptionButton::clicked, this, &TConfigurationPage::rbPl_385Click);
    connect(rbCu, &TOptionButton::clicked, this, &TConfigurationPage::rbCuClick);
    connect(rbR100, &TOptionButton::clicked, this, &TConfigurationPage::rbR100Click);
    connect(rbR50, &TOptionButton::clicked, this, &TConfigurationPage::rbR50Click);
    connect(rbI0, &TOptionButton::clicked, this, &TConfigurationPage::rbI0Click);
    connect(rbI5_5, &TOptionButton::clicked, this, &TConfigurationPage::rbI5_5Click);
    connect(rbI3_6, &TOptionButton::clicked, this, &TConfigurationPage::rbI3_6Click);
    connect(rbI3_8, &TOptionButton::clicked, this, &TConfigurationPage::rbI3_8Click);
    connect(rbI21, &TOptionButton::clicked, this, &TConfigurationPage::rbI21Click);
    connect(rbI22, &TOptionButton::clicked, this, &TConfigurationPage::rbI22Click);
    connect(rbDirectLeadOut, &TOptionButton::clicked, this, &TConfigurationPage::rbDirectLeadOutClick);
    connect(rbInversLeadOut, &TOptionButton::clicked, this, &TConfigurationPage::rbInversLeadOutClick);
    connect(cbAverageTurnOn, &TRbCheckBox::clicked, this, &TConfigurationPage::cbAverageTurnOnClick);
    connect(rseTopTempBound, &QSpinBox::valueChanged, this, &TConfigurationPage::rseTopTempBoundChange);
    connect(rseBottomTempBound, &QSpinBox::valueChanged, this, &TConfigurationPage::rseBottomTempBoundChange);
    connect(rseAverage, &QSpinBox::valueChanged, this, &TConfigurationPage::rseAverageChange);
    connect(rseConfSlaveID, &QSpinBox::valueChanged, this, &TConfigurationPage::rseConfSlaveIDChange);
    connect(btnConfRead, &TRbButton::clicked, this, &TConfigurationPage::btnConfReadClick);
    // A second click of a double-click on "Записать" would write again.
    m_writeGuard = new TPressGuard(m_session.link.ticks, this);
    m_writeGuard->Guard(btnConfWrite);
    connect(btnConfWrite, &TRbButton::clicked, this, &TConfigurationPage::btnConfWriteClick);

    for (QSpinBox* s : {rseTopTempBound, rseBottomTempBound, rseAverage})
        s->installEventFilter(this);
    for (QWidget* w : {static_cast<QWidget*>(rbPl_391), static_cast<QWidget*>(lbPt_391), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(rbPl_385), static_cast<QWidget*>(lbPt_385), static_cast<QWidget*>(Label9),
                       static_cast<QWidget*>(rbCu), static_cast<QWidget*>(lbCu), static_cast<QWidget*>(Label10)}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
}

void TConfigurationPage::SetStyleManager(TRbStyleManager* manager)
{
    m_manager = manager;
    for (TRbCustomControl* c : findChildren<TRbCustomControl*>())
        c->SetRbStyleManager(m_manager);
    if (m_manager)
        m_manager->ApplyStyle();
}

QColor TConfigurationPage::HotTrackColor() const
{
    return m_manager ? ToQColor(m_manager->Colors().HotTrack()) : QColor(Qt::blue);
}

// ---------------------------------------------------------------- showing the record

void TConfigurationPage::SetSensorType(int code)
{
    TSensorLimits limits;
    if (!SensorLimits(code, &limits))
        return;
    rseTopTempBound->setRange(limits.topMin, limits.topMax);
    rseBottomTempBound->setRange(limits.bottomMin, limits.bottomMax);
    rseTopTempBound->setValue(limits.topMax);
    rseBottomTempBound->setValue(limits.bottomMin);
    lbMaxTemp->setText(TemperatureLimitText(limits.topMax));
    lbMinTemp->setText(TemperatureLimitText(limits.bottomMin));
    m_session.Transducer.SensorKind = code;
}

void TConfigurationPage::ShowConfiguration()
{
    const TTransducerData& t = m_session.Transducer;
    const bool wasFilling = m_filling;
    m_filling = true;

    TOptionButton* sensors[3] = {rbPl_391, rbPl_385, rbCu};
    for (int i = 0; i < 3; ++i)
        SetOptionChecked(sensors[i], t.SensorKind == i + 1);
    if (t.SensorKind >= 1 && t.SensorKind <= 3)
        SetSensorType(t.SensorKind);

    if (t.R0 == 100)
        SetOptionChecked(rbR100, true);
    else if (t.R0 == 50)
        SetOptionChecked(rbR50, true);

    // A bound beyond the sensor's limits shows held within them.
    rseBottomTempBound->setValue(t.BottomTempBound);
    rseTopTempBound->setValue(t.TopTempBound);

    SetOptionChecked(t.DirectLeadOut ? rbDirectLeadOut : rbInversLeadOut, true);

    pnAlarmCur4D->hide();
    pnAlarmCur4E->hide();
    if (t.PLType == 'M') {
        pnAlarmCur4D->show();
        TOptionButton* codes[4] = {rbI3_6, rbI3_8, rbI21, rbI22};
        // A code outside the table shows no choice rather than a stale one.
        for (int i = 0; i < 4; ++i)
            SetOptionChecked(codes[i], t.AlarmCur == i + 1);
    } else if (t.PLType == 'N') {
        pnAlarmCur4E->show();
        SetOptionChecked(rbI0, t.AlarmCur == 1);
        SetOptionChecked(rbI5_5, t.AlarmCur == 2);
    } else {
        m_filling = wasFilling;
        m_look.ShowPlatformError(kUnsupported);
        m_session.shell->DisconnectDevice();
        pnAlarmCur4E->show();
        return;
    }

    cbAverageTurnOn->SetChecked(t.Average != 0);
    rseAverage->setEnabled(t.Average != 0);
    if (t.Average != 0)
        rseAverage->setValue(t.Average);

    rseConfSlaveID->setValue(t.SlaveID);
    m_filling = wasFilling;
}

void TConfigurationPage::ClearFields()
{
    const bool wasFilling = m_filling;
    m_filling = true;
    for (TOptionButton* b : {rbPl_391, rbPl_385, rbCu, rbR100, rbR50, rbI3_6, rbI3_8, rbI21, rbI22, rbI0, rbI5_5,
                             rbDirectLeadOut, rbInversLeadOut})
        SetOptionChecked(b, false);
    cbAverageTurnOn->SetChecked(false);
    rseTopTempBound->setValue(0);
    rseBottomTempBound->setValue(0);
    rseConfSlaveID->setValue(0);
    m_filling = wasFilling;
}

// ---------------------------------------------------------------- exchanges

void TConfigurationPage::WriteConfiguration()
{
    if (!m_ctrl.IsConnected()) {
        m_session.Messages().Show(kNotConnected, mkInformation, mbOk);
        return;
    }
    // Text still being typed counts as entered.
    for (QSpinBox* s : {rseTopTempBound, rseBottomTempBound, rseAverage, rseConfSlaveID})
        s->interpretText();
    TTransducerData& t = m_session.Transducer;
    t.TopTempBound = rseTopTempBound->value();
    t.BottomTempBound = rseBottomTempBound->value();
    t.Average = cbAverageTurnOn->Checked() ? rseAverage->value() : 0;
    if (::WriteConfiguration(m_session, rseConfSlaveID->value()) == TOutcome::NoAnswer)
        m_session.Messages().Show(TKeptEdits::WriteAnswerLost, mkWarning, mbOk);
}

void TConfigurationPage::btnConfReadClick()
{
    m_ctrl.ReadConfiguration(); // the page shows it on configurationRead
    m_session.shell->ProcessEvents();
    ::SetConfigModified(m_session, false);
}

void TConfigurationPage::btnConfWriteClick()
{
    const TPressGuard::TBusy busy(*m_writeGuard);
    const bool timerWasOn = m_ctrl.PauseDiagnosticsTimer();
    WriteConfiguration();
    m_session.shell->ProcessEvents();
    ::SetConfigModified(m_session, false);
    m_ctrl.ResumeDiagnosticsTimer(timerWasOn);
}

void TConfigurationPage::ConfirmSaveConfiguration()
{
    TDeviceSession& s = m_session;
    if (!s.Transducer.ConfModified)
        return;
    if (!m_ctrl.IsConnected()) {
        m_session.Messages().Show(kNotSaved, mkInformation, mbOk);
    } else if (m_session.Messages().Show(kAskSave, mkConfirmation, mbYes | mbNo) == mrYes) {
        m_session.shell->ProcessEvents();
        WriteConfiguration();
    } else {
        RestoreConfigurationFromSnapshot(s);
        ShowConfiguration();
    }
    ::SetConfigModified(m_session, false);
}
