#include "app/LinkStatusBar.h"

#include "device/TransducerController.h"

#include <QLabel>

namespace {

const QString kConnected = QStringLiteral("Соединение установленно");
const QString kNotConnected = QStringLiteral("Соединение не установленно");

} // namespace

TLinkStatusBar::TLinkStatusBar(TTransducerController& ctrl, QWidget* parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    setFixedHeight(19);
    const int widths[4] = {170, 50, 50, 0}; // the last panel takes the rest of the bar
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setContentsMargins(2, 0, 2, 0);
        if (widths[i] > 0)
            m_panels[i]->setFixedWidth(widths[i]);
        addWidget(m_panels[i], widths[i] > 0 ? 0 : 1);
    }
    connect(&ctrl, &TTransducerController::linkStateChanged, this, [this](bool open, const QString& port) {
        m_panels[0]->setText(open ? kConnected : kNotConnected);
        m_panels[1]->setText(port);
        m_panels[2]->clear();
    });
    connect(&ctrl, &TTransducerController::statusPanelText, this,
            [this](int panel, const QString& text) { m_panels[panel]->setText(text); });
}

QString TLinkStatusBar::PanelText(int index) const
{
    return index >= 0 && index < 4 ? m_panels[index]->text() : QString();
}
