// The configuration page and configuration profiles.
#include "app/ConfigurationPage.h"

#include "device/ConfigProfile.h"
#include "device/Information.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"

#include <QSpinBox>

namespace {

bool Fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool TConfigurationPage::TakeProfile(TConfigProfile* profile, QString* error) const
{
    TConfigProfile p;
    const TOptionButton* sensors[3] = {rbPl_391, rbPl_385, rbCu};
    for (int i = 0; i < 3; ++i)
        if (OptionChecked(sensors[i]))
            p.SensorKind = i + 1;
    p.R0 = OptionChecked(rbR100) ? 100 : OptionChecked(rbR50) ? 50 : 0;
    p.BottomTempBound = rseBottomTempBound->value();
    p.TopTempBound = rseTopTempBound->value();
    if (!OptionChecked(rbDirectLeadOut) && !OptionChecked(rbInversLeadOut))
        return Fail(error, QStringLiteral("Токовый выход: не выбран"));
    p.DirectLeadOut = OptionChecked(rbDirectLeadOut);
    // The alarm group on show says the transducer type.
    const bool typeM = !pnAlarmCur4D->isHidden();
    const TOptionButton* alarmsM[4] = {rbI3_6, rbI3_8, rbI21, rbI22};
    const TOptionButton* alarmsN[2] = {rbI0, rbI5_5};
    for (int i = 0; i < (typeM ? 4 : 2); ++i)
        if (OptionChecked(typeM ? alarmsM[i] : alarmsN[i]))
            p.AlarmTenths = AlarmTenthsOf(i + 1, typeM ? 'M' : 'N');
    p.Average = cbAverageTurnOn->Checked() ? rseAverage->value() : 0;
    if (!CheckConfigProfile(p, typeM ? 'M' : 'N', error))
        return false;
    *profile = p;
    return true;
}

bool TConfigurationPage::FillFromProfile(const TConfigProfile& p, QString* error)
{
    const int recordType = m_session.Transducer.PLType;
    if (!CheckConfigProfile(p, recordType, error))
        return false;
    const int type = (recordType == 'M' || recordType == 'N') ? recordType : AlarmTypeOf(p.AlarmTenths);

    // The user's clicks, in the page's order: the sensor first, as it resets the range.
    TOptionButton* sensors[3] = {rbPl_391, rbPl_385, rbCu};
    ClickOption(sensors[p.SensorKind - 1]);
    ClickOption(p.R0 == 100 ? rbR100 : rbR50);
    rseBottomTempBound->setValue(p.BottomTempBound);
    rseBottomTempBoundExit();
    rseTopTempBound->setValue(p.TopTempBound);
    rseTopTempBoundExit();
    ClickOption(p.DirectLeadOut ? rbDirectLeadOut : rbInversLeadOut);
    TOptionButton* alarmsM[4] = {rbI3_6, rbI3_8, rbI21, rbI22};
    TOptionButton* alarmsN[2] = {rbI0, rbI5_5};
    const int code = AlarmCodeOf(p.AlarmTenths, type);
    ClickOption(type == 'M' ? alarmsM[code - 1] : alarmsN[code - 1]);
    if (p.Average != 0)
        rseAverage->setValue(p.Average);
    if (cbAverageTurnOn->Checked() != (p.Average != 0))
        cbAverageTurnOn->Click();
    else
        cbAverageTurnOnClick();
    ::SetConfigModified(m_session, true);
    return true;
}
