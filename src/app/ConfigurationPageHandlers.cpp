// The configuration page's hover highlight and its option and field handlers.
#include "app/ConfigurationPage.h"

#include "device/Configuration.h"
#include "device/DeviceSession.h"
#include "device/Information.h"
#include "rbcontrols/RbCheckBox.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTimer>

namespace {

bool IsFieldExit(QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    // Leaving the field, not the window: a message box or a menu taking the
    // focus for a moment is no exit.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

// ---------------------------------------------------------------- hover and clicks on the option labels

int TConfigurationPage::SensorOptionOf(QObject* control) const
{
    if (control == rbPl_391 || control == lbPt_391 || control == Label1)
        return 0;
    if (control == rbPl_385 || control == lbPt_385 || control == Label9)
        return 1;
    if (control == rbCu || control == lbCu || control == Label10)
        return 2;
    return -1;
}

bool TConfigurationPage::eventFilter(QObject* watched, QEvent* event)
{
    const int option = SensorOptionOf(watched);
    if (option >= 0) {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::MouseMove:
            SensorOptionMouseMove(option);
            break;
        case QEvent::Leave:
            SensorOptionMouseLeave(option);
            break;
        case QEvent::MouseButtonRelease: {
            // A click on either label is a click on its option.
            auto* me = static_cast<QMouseEvent*>(event);
            auto* label = qobject_cast<QLabel*>(watched);
            if (label && me->button() == Qt::LeftButton && label->rect().contains(me->position().toPoint())) {
                SensorClick(option);
                return true;
            }
            break;
        }
        default:
            break;
        }
    } else if (IsFieldExit(event)) {
        if (watched == rseTopTempBound)
            rseTopTempBoundExit();
        else if (watched == rseBottomTempBound)
            rseBottomTempBoundExit();
        else if (watched == rseAverage)
            rseAverageExit();
    }
    return QWidget::eventFilter(watched, event);
}

void TConfigurationPage::SetSensorOptionColor(int option, const QColor& color)
{
    TOptionButton* buttons[3] = {rbPl_391, rbPl_385, rbCu};
    QLabel* alphas[3] = {lbPt_391, lbPt_385, lbCu};
    QLabel* values[3] = {Label1, Label9, Label10};
    SetOptionTextColor(buttons[option], color);
    for (QLabel* l : {alphas[option], values[option]}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, color);
        l->setPalette(p);
    }
}

QColor TConfigurationPage::SensorOptionColor(int option, int control) const
{
    const QWidget* all[3][3] = {{rbPl_391, lbPt_391, Label1}, {rbPl_385, lbPt_385, Label9}, {rbCu, lbCu, Label10}};
    if (option < 0 || option > 2 || control < 0 || control > 2)
        return {};
    if (control == 0)
        return OptionTextColor(static_cast<const TOptionButton*>(all[option][0]));
    return all[option][control]->palette().color(QPalette::WindowText);
}

void TConfigurationPage::SensorOptionMouseMove(int option)
{
    SetSensorOptionColor(option, HotTrackColor());
}

void TConfigurationPage::SensorOptionMouseLeave(int option)
{
    SetSensorOptionColor(option, Qt::black);
}

void TConfigurationPage::SensorClick(int option)
{
    TOptionButton* buttons[3] = {rbPl_391, rbPl_385, rbCu};
    SetOptionChecked(buttons[option], true);
    SetSensorType(option + 1);
    Modified();
}

void TConfigurationPage::rbPl_391Click() { SensorClick(0); }
void TConfigurationPage::rbPl_385Click() { SensorClick(1); }
void TConfigurationPage::rbCuClick() { SensorClick(2); }

// ---------------------------------------------------------------- option and field handlers

void TConfigurationPage::Modified()
{
    if (!m_filling)
        ::SetConfigModified(m_session, true);
}

void TConfigurationPage::rbR100Click()
{
    m_session.Transducer.R0 = 100;
    Modified();
}

void TConfigurationPage::rbR50Click()
{
    m_session.Transducer.R0 = 50;
    Modified();
}

void TConfigurationPage::rbI0Click()
{
    m_session.Transducer.AlarmCur = 1;
    Modified();
}

void TConfigurationPage::rbI5_5Click()
{
    m_session.Transducer.AlarmCur = 2;
    Modified();
}

void TConfigurationPage::rbI3_6Click()
{
    m_session.Transducer.AlarmCur = 1;
    Modified();
}

void TConfigurationPage::rbI3_8Click()
{
    m_session.Transducer.AlarmCur = 2;
    Modified();
}

void TConfigurationPage::rbI21Click()
{
    m_session.Transducer.AlarmCur = 3;
    Modified();
}

void TConfigurationPage::rbI22Click()
{
    m_session.Transducer.AlarmCur = 4;
    Modified();
}

void TConfigurationPage::rbDirectLeadOutClick()
{
    m_session.Transducer.DirectLeadOut = true;
    Modified();
}

void TConfigurationPage::rbInversLeadOutClick()
{
    m_session.Transducer.DirectLeadOut = false;
    Modified();
}

void TConfigurationPage::rseTopTempBoundChange() { Modified(); }
void TConfigurationPage::rseBottomTempBoundChange() { Modified(); }
void TConfigurationPage::rseAverageChange() { Modified(); }
// The address itself changes with the write.
void TConfigurationPage::rseConfSlaveIDChange() { Modified(); }

void TConfigurationPage::rseTopTempBoundExit()
{
    m_session.Transducer.TopTempBound = rseTopTempBound->value();
}

void TConfigurationPage::rseBottomTempBoundExit()
{
    m_session.Transducer.BottomTempBound = rseBottomTempBound->value();
    // Pending events run once the exit has returned, not inside it: a mouse
    // press that moved the focus here would otherwise see its own release
    // before it has been taken, and the click would be lost.
    QMetaObject::invokeMethod(this, [this] { m_session.shell->ProcessEvents(); }, Qt::QueuedConnection);
}

void TConfigurationPage::rseAverageExit()
{
    m_session.Transducer.Average = rseAverage->value();
}

void TConfigurationPage::cbAverageTurnOnClick()
{
    const bool on = cbAverageTurnOn->Checked();
    rseAverage->setEnabled(on);
    m_session.Transducer.Average = on ? rseAverage->value() : 0;
    Modified();
}
