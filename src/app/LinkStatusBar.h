#pragma once

#include <QStatusBar>

class QLabel;
class TTransducerController;

// The status bar's four panels as the controller tells them: the link
// state, the port, the pages' modified mark and the last exchange.
class TLinkStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TLinkStatusBar(TTransducerController& ctrl, QWidget* parent = nullptr);

    QString PanelText(int index) const;

private:
    QLabel* m_panels[4] = {};
};
