#include "app/SearchProgress.h"

#include "app/SchemeLook.h"
#include "app/ViewStatusFrm.h"
#include "device/TransducerController.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbStyleManager.h"

namespace {

const QString kSearching = QStringLiteral("Поиск прибора до первого найденного");
// "СОМ" here is written in Cyrillic letters, as the program always showed it.
const QString kSearchingAt = QStringLiteral("Поиск прибора до первого найденного\n\rСОМ-порт СОМ");

} // namespace

TSearchProgress::TSearchProgress(TTransducerController& ctrl, TSchemeLook& look, QWidget* window)
    : QObject(window)
    , m_ctrl(ctrl)
    , m_look(look)
    , m_window(window)
{
    TTransducerController* c = &ctrl;
    connect(c, &TTransducerController::searchStarted, this, [this](int first, int last) {
        TfrmViewStatus* status = ViewStatus();
        status->SetText(kSearching);
        // Max before Min: the bar takes each only while it keeps Min below Max.
        status->RbProgressBar->SetMax(last);
        status->RbProgressBar->SetMin(first);
        status->RbProgressBar->SetPosition(first);
        status->RbProgressBar->show();
        status->btnStop->show();
        status->ShowStatus();
    });
    connect(c, &TTransducerController::searchProgress, this, [this](int address, int port) {
        TfrmViewStatus* status = ViewStatus();
        status->SetText(kSearchingAt + QString::number(port) + QStringLiteral(" адрес ") + QString::number(address)
                        + QStringLiteral("."));
        m_ctrl.ProcessEvents();
        status->RbProgressBar->SetPosition(status->RbProgressBar->Position() + 1);
        m_ctrl.ProcessEvents();
    });
    connect(c, &TTransducerController::searchPassStarted, this,
            [this] { ViewStatus()->RbProgressBar->SetPosition(ViewStatus()->RbProgressBar->Min()); });
    connect(c, &TTransducerController::searchEnded, this, [this] {
        TfrmViewStatus* status = ViewStatus();
        status->hide();
        status->RbProgressBar->hide();
        status->btnStop->hide();
    });
}

TfrmViewStatus* TSearchProgress::ViewStatus()
{
    if (!m_viewStatus) {
        m_viewStatus = new TfrmViewStatus(m_window);
        m_look.AddSchemeColorWidget(m_viewStatus);
        m_viewStatus->btnStop->SetRbStyleManager(&m_look.StyleManager());
        connect(m_viewStatus, &TfrmViewStatus::stopRequested, &m_ctrl, &TTransducerController::RequestSearchStop);
        m_viewStatus->RbProgressBar->SetRbStyleManager(&m_look.StyleManager());
        m_look.AddSchemeProgressBar(m_viewStatus->RbProgressBar);
        m_look.ApplySchemeColors();
    }
    return m_viewStatus;
}
