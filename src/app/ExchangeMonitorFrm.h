#pragma once

#include "app/SaveFileHook.h"

#include <QWidget>

#include <functional>

class QDateTime;
class QPushButton;
class QTableView;
class IMessageDialog;
class TExchangeLog;

// "Обмен с прибором": the exchange log as a live table. Closing only hides it;
// the log keeps recording.
class TfrmExchangeMonitor : public QWidget {
    Q_OBJECT
public:
    TfrmExchangeMonitor(TExchangeLog& log, IMessageDialog& messages, QWidget* parent = nullptr);

    void btnClearClick();
    void btnCopyClick();   // the selected lines, or all when none is selected
    void btnSaveClick();

    TSaveFileNameHook SaveFileName = AskSaveFileName;
    // The port and the address the log was taken on, for the saved file's first line.
    std::function<QString()> LinkDescription;
    // The saved log's first line: the date and time, then the link.
    QString SaveTitle(const QDateTime& when) const;

    QTableView* lvExchange;
    QPushButton* btnClear;
    QPushButton* btnCopy;
    QPushButton* btnSave;
    QPushButton* btnFollow; // "Следить": the newest line kept in view

private:
    void RowsAdded();

    TExchangeLog& m_log;
    IMessageDialog& m_messages;
    bool m_follow = true; // keep the newest line in view unless the user scrolled up
    bool m_scrollPending = false;
};
