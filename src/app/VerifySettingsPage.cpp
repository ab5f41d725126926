#include "app/VerifySettingsPage.h"

#include "app/ProgSettings.h"
#include "device/Verification.h"
#include "rbcontrols/RbPanel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

QLabel* MakeLabel(const QString& name, const QString& text, QWidget* parent, int x, int y, int w, int h = 17)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(x, y, w, h);
    return l;
}

} // namespace

TVerifySettingsPage::TVerifySettingsPage(TProgSettings& settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("tsVerify"));
    rpVerify = new TRbPanel(this);
    rpVerify->setObjectName(QStringLiteral("rpVerify"));
    rpVerify->SetBounds(0, 0, 419, 232);

    lbTolerance = MakeLabel(QStringLiteral("lbTolerance"), QStringLiteral("Допуск, % диапазона:"), rpVerify, 14, 22, 200);
    rseTolerance = new QDoubleSpinBox(rpVerify);
    rseTolerance->setObjectName(QStringLiteral("rseTolerance"));
    rseTolerance->setRange(0.01, 10.0);
    rseTolerance->setDecimals(2);
    rseTolerance->setSingleStep(0.05);
    rseTolerance->setGeometry(250, 20, 80, 21);
    rseTolerance->setAccessibleName(QStringLiteral("Допуск, % диапазона"));

    lbRule = MakeLabel(QStringLiteral("lbRule"), QStringLiteral("Правило принятия решения:"), rpVerify, 14, 58, 200);
    cbDecisionRule = new QComboBox(rpVerify);
    cbDecisionRule->setObjectName(QStringLiteral("cbDecisionRule"));
    cbDecisionRule->addItem(QStringLiteral("Простая приёмка"));
    cbDecisionRule->addItem(QStringLiteral("С защитной полосой"));
    cbDecisionRule->setGeometry(250, 56, 155, 21);
    cbDecisionRule->setAccessibleName(QStringLiteral("Правило принятия решения"));

    lbRuleHint = MakeLabel(QStringLiteral("lbRuleHint"), QString(), rpVerify, 14, 84, 390, 34);
    lbRuleHint->setWordWrap(true);

    lbPoints = MakeLabel(QStringLiteral("lbPoints"), QStringLiteral("Число точек проверки:"), rpVerify, 14, 130, 200);
    rsePoints = new QSpinBox(rpVerify);
    rsePoints->setObjectName(QStringLiteral("rsePoints"));
    rsePoints->setRange(kMinVerifyPoints, kMaxVerifyPoints);
    rsePoints->setGeometry(250, 128, 80, 21);
    rsePoints->setAccessibleName(QStringLiteral("Число точек проверки"));

    connect(rseTolerance, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        m_settings.VerifyTolerancePct = v;
        showHint();
    });
    connect(cbDecisionRule, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_settings.VerifyDecisionRule = index == 1 ? 1 : 0;
        showHint();
    });
    connect(rsePoints, &QSpinBox::valueChanged, this, [this](int n) { m_settings.VerifyPoints = n; });
    ShowSettings();
}

void TVerifySettingsPage::ShowSettings()
{
    const QSignalBlocker b1(rseTolerance), b2(cbDecisionRule), b3(rsePoints);
    rseTolerance->setValue(m_settings.VerifyTolerancePct);
    cbDecisionRule->setCurrentIndex(m_settings.VerifyDecisionRule == 1 ? 1 : 0);
    rsePoints->setValue(m_settings.VerifyPoints);
    showHint();
}

void TVerifySettingsPage::showHint()
{
    const auto rule = m_settings.VerifyDecisionRule == 1 ? TDecisionRule::drGuarded : TDecisionRule::drSimple;
    const double limit = AcceptanceLimitPct(rule, m_settings.VerifyTolerancePct);
    lbRuleHint->setText(QStringLiteral("Годен, если %1; предел %2 % диапазона.")
                            .arg(DecisionRuleText(rule).section(QLatin1Char(':'), 1).trimmed(),
                                 QLocale().toString(limit, 'f', 3)));
}
