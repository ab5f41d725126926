#pragma once

#include "app/SaveFileHook.h"

#include <QWidget>

class QPushButton;
class QTableView;
class TExchangeLog;

// "Обмен с прибором": the exchange log as a live table. Closing only hides it;
// the log keeps recording.
class TfrmExchangeMonitor : public QWidget {
    Q_OBJECT
public:
    explicit TfrmExchangeMonitor(TExchangeLog& log, QWidget* parent = nullptr);

    void btnClearClick();
    void btnCopyClick();   // the selected lines, or all when none is selected
    void btnSaveClick();

    TSaveFileNameHook SaveFileName = AskSaveFileName;

    QTableView* lvExchange;
    QPushButton* btnClear;
    QPushButton* btnCopy;
    QPushButton* btnSave;

private:
    void RowsAdded();

    TExchangeLog& m_log;
    bool m_follow = true; // keep the newest line in view unless the user scrolled up
    bool m_scrollPending = false;
};
