#include "RecordingMessages.h"

void RecordingMessages::answer(int result)
{
    m_script.push_back({result, false, 0});
}

void RecordingMessages::answerValue(int result, double value)
{
    m_script.push_back({result, true, value});
}

QStringList RecordingMessages::texts() const
{
    QStringList list;
    for (const TRecordedMessage& m : m_messages)
        list << m.text;
    return list;
}

bool RecordingMessages::contains(const QString& part) const
{
    for (const TRecordedMessage& m : m_messages) {
        if (m.text.contains(part))
            return true;
    }
    return false;
}

int RecordingMessages::countOf(const QString& text) const
{
    int n = 0;
    for (const TRecordedMessage& m : m_messages)
        n += m.text == text ? 1 : 0;
    return n;
}

int RecordingMessages::MessageDlg(const QString& text, TMessageKind kind, int, int buttons)
{
    int result = (buttons & mbOk) ? mrOk : m_default;
    if (!m_script.empty()) {
        result = m_script.front().result;
        m_script.pop_front();
    }
    m_messages.push_back({text, kind, buttons, false, 0, result});
    if (m_hook)
        m_hook(m_messages.last());
    return result;
}

int RecordingMessages::EnterValue(const QString& prompt, double& value, int, double defaultValue)
{
    int result = m_default == mrOk ? mrNo : m_default;
    value = defaultValue;
    if (!m_script.empty()) {
        const TAnswer a = m_script.front();
        m_script.pop_front();
        result = a.result;
        if (a.hasValue)
            value = a.value;
    }
    m_messages.push_back({prompt, mkConfirmation, 0, true, defaultValue, result});
    if (m_hook)
        m_hook(m_messages.last());
    return result;
}
