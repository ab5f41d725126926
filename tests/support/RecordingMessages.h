#pragma once

// RecordingMessages: the message dialog for tests, handed to the code under
// test; every message and value entry is recorded and answered from a script.
//
//   RecordingMessages msgs;
//   shell.SetMessageDialog(&msgs);     // or the rig's msgs
//   msgs.answer(mrYes);                // the next question gets "Да"
//   msgs.answerValue(mrYes, 21.5);     // the next EnterValue: "Ok" with 21,5
//   ... code under test ...
//   EXPECT_EQ(msgs.texts(), QStringList{"Не получен ответ от прибора."});
//   EXPECT_EQ(msgs.last().kind, mkError);
//   EXPECT_TRUE(msgs.contains("не найден"));   // substring
//
// With the script empty: a message whose buttons include Ok gets mrOk, any
// other gets the default answer (mrNo unless setDefaultAnswer says otherwise);
// EnterValue gets the default answer (mrNo if that is mrOk) and keeps the

#include "link/MessageDialog.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

struct TRecordedMessage {
    QString text;            // the prompt for EnterValue
    TMessageKind kind = mkInformation;
    int buttons = 0;         // mb* bits; 0 for EnterValue
    bool enterValue = false;
    double defaultValue = 0; // EnterValue only
    int result = 0;          // what the script answered
};

class RecordingMessages : public IMessageDialog {
public:
    RecordingMessages() = default;
    RecordingMessages(const RecordingMessages&) = delete;
    RecordingMessages& operator=(const RecordingMessages&) = delete;

    // Script, first in first out.
    void answer(int result);
    void answerValue(int result, double value);
    void setDefaultAnswer(int result) { m_default = result; }
    // Runs inside every call, after recording (e.g. to check state mid-dialog).
    void setOnMessage(std::function<void(const TRecordedMessage&)> hook) { m_hook = std::move(hook); }

    const QList<TRecordedMessage>& all() const { return m_messages; }
    int count() const { return int(m_messages.size()); }
    bool isEmpty() const { return m_messages.isEmpty(); }
    const TRecordedMessage& last() const { return m_messages.last(); }
    QStringList texts() const;
    bool contains(const QString& part) const;
    int countOf(const QString& text) const; // exact text
    void clear() { m_messages.clear(); }
    int pendingAnswers() const { return int(m_script.size()); }

    int MessageDlg(const QString& text, TMessageKind kind, int helpContext, int buttons) override;
    int EnterValue(const QString& prompt, double& value, int helpContext, double defaultValue) override;

private:
    struct TAnswer {
        int result;
        bool hasValue;
        double value;
    };

    std::deque<TAnswer> m_script;
    QList<TRecordedMessage> m_messages;
    int m_default = mrNo;
    std::function<void(const TRecordedMessage&)> m_hook;
};
