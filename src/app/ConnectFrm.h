#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class TRbButton;
class TRbPanel;
class ILookServices;
class TTransducerController;
struct TDeviceSession;

// "Установка соединения": connect to an address from the list (or typed),
// or search for the first device. Created on first use, kept for the run.
class TfrmConnect : public QDialog {
    Q_OBJECT
public:
    TfrmConnect(TTransducerController& ctrl, ILookServices& look, QWidget* parent = nullptr);

    // Handlers, public so tests run them as the events do.
    void FormShow();
    void btnFindClick();
    void btnFindFirstClick();

    // The address text read as a slave address; false for anything but a
    // decimal number 1..255.
    static bool ParseAddress(const QString& text, int* address);

    TRbPanel* RbPanel1;
    QLabel* lbPLID;
    QComboBox* cbPL_ID;
    TRbButton* btnFind;
    TRbButton* btnFindFirst;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDeviceSession& m_session;
    TTransducerController& m_ctrl;
    ILookServices& m_look;
};
