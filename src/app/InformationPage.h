#pragma once

#include "rbcontrols/RbButton.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class TTransducerController;
class IRbStyleRegistry;
class TPressGuard;
struct TDeviceSession;
struct TProgSettings;

using TPageButton = TRbButton;

// Page tsInformation: the identity and the information record of the
// connected transducer, with its read, write and "today" buttons.
class TInformationPage : public QWidget {
    Q_OBJECT
public:
    TInformationPage(TTransducerController& ctrl, TProgSettings& settings, QWidget* parent = nullptr);

    // The window's style manager styles the page's buttons.
    void SetStyleManager(IRbStyleRegistry* manager);

    // Fills the fields from the record; not an edit, InfModified is untouched.
    void ShowInformation();
    // Empties the fields; the date shows its empty mask.
    void ClearFields();
    // Takes a field that was typed into but not left yet, as leaving it
    // would (the window closing moves no focus inside it).
    // False when a field was refused with its message.
    bool CommitPendingEdits();

    static const QString EmptyDateText; // "  .  .    "

    // Handlers, public so tests can run them as the user's actions do.
    void edSensorTypeExit();
    bool edSensorNumExit();  // false: refused with its message
    bool meSensorDateExit(); // false: refused with its message
    void btnNowClick();
    void btnInfReadClick();
    void btnInfWriteClick();

    QLabel* SlaveIDLabel;
    QLabel* PMTypeLabel;
    QLabel* SensorTypeLabel;
    QLabel* SensorNumLabel;
    QLabel* SensorDateLabel;
    QLineEdit* edSlaveID;
    QLineEdit* edPLType;
    QLineEdit* edSensorType;
    QLineEdit* edSensorNum;
    QLineEdit* meSensorDate;
    TPageButton* btnNow;
    TPageButton* btnInfRead;
    TPageButton* btnInfWrite;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TPageButton* makeButton(const QString& name, const QString& caption);
    void userEdited();
    void RunLeftExits();

    TDeviceSession& m_session;
    TProgSettings& m_settings;
    TTransducerController& m_ctrl;
    // Fields typed into since they were last left or filled.
    QList<QLineEdit*> m_pending;
    // Left, with the exit still to run (it runs after the event that moved the focus).
    QList<QLineEdit*> m_left;
    TPressGuard* m_writeGuard;
};
