#include "CliShell.h"

#include "link/CommPortDriver.h"
#include "device/ErrCodes.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdio>

TCliShell::TCliShell(TCommPortDriver& driver)
    : m_driver(driver)
{
}

void TCliShell::ProcessEvents()
{
    QCoreApplication::processEvents();
}

void TCliShell::DisconnectDevice()
{
    m_lost = true;
    if (OnDisconnect)
        OnDisconnect();
    m_driver.ClosePort();
}

bool TCliShell::AskToConnect()
{
    return m_driver.IsPortOpen();
}

namespace {

QStringList g_printed;

} // namespace

void PrintMessage(const QString& line)
{
    g_printed << line;
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

const QStringList& PrintedMessages()
{
    return g_printed;
}

QString TerminalText(const QString& text)
{
    QString t = text;
    t.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.remove('\r');
    return t;
}

TCliMessages::TCliMessages(bool answerYes)
    : m_yes(answerYes)
{
}

int TCliMessages::MessageDlg(const QString& text, TMessageKind, int, int buttons)
{
    ++m_count;
    QString line = TerminalText(text);
    for (const TErrCode& row : ErrCodeTable) {
        if (QString::fromUtf8(row.Message) == text) {
            m_lastCode = row.Code;
            line = QStringLiteral("Прибор отказал, код %1: %2").arg(row.Code).arg(line);
        }
    }
    // A code the table does not know carries its number in the text itself.
    static const QRegularExpression unknown(
        QRegularExpression::escape(UnknownRefusalText(999)).replace(QStringLiteral("999"), QStringLiteral("(\\d+)")));
    const QRegularExpressionMatch m = unknown.match(text);
    if (m.hasMatch())
        m_lastCode = m.captured(1).toInt();
    int result = mrOk;
    if (buttons & mbYes) {
        result = m_yes ? mrYes : mrNo;
        line += m_yes ? QStringLiteral(" — Да") : QStringLiteral(" — Нет");
    } else if (!(buttons & mbOk)) {
        result = mrNo;
    }
    PrintMessage(line);
    return result;
}

int TCliMessages::EnterValue(const QString& prompt, double& value, int, double defaultValue)
{
    ++m_count;
    PrintMessage(TerminalText(prompt) + QStringLiteral(" — отменено"));
    value = defaultValue;
    return mrNo;
}
