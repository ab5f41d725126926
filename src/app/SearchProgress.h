#pragma once

#include <QObject>

class QWidget;
class TSchemeLook;
class TTransducerController;
class TfrmViewStatus;

// The status window: what the start-up connection says, and the search's
// address, progress bar and "Стоп!" as the controller tells them.
class TSearchProgress : public QObject {
    Q_OBJECT
public:
    TSearchProgress(TTransducerController& ctrl, TSchemeLook& look, QWidget* window);

    // Created on first use and kept.
    TfrmViewStatus* ViewStatus();
    TfrmViewStatus* Existing() const { return m_viewStatus; }

private:
    TTransducerController& m_ctrl;
    TSchemeLook& m_look;
    QWidget* m_window;
    TfrmViewStatus* m_viewStatus = nullptr;
};
