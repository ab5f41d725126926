#pragma once

// A zelkor-sim process for tests. Starting waits for the device path on the
// first line of its stdout; stopping sends SIGTERM and waits for a clean exit.
//
//   SimProcess sim({"--no-pacing", "--noise", "0", "--state", dir.filePath("sim.ini")});
//   ASSERT_TRUE(sim.start()) << sim.error();
//   drv.SetPortName(sim.devicePath());
//   ...
//   EXPECT_TRUE(sim.stop());   // exit code 0; the destructor kills a leftover
//
// The binary comes from the ZELKOR_SIM_PATH compile definition.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <limits>

class SimProcess {
public:
    explicit SimProcess(QStringList args = {})
        : m_args(std::move(args))
    {
    }
    ~SimProcess()
    {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.kill();
            m_proc.waitForFinished(3000);
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    static QString binary() { return QStringLiteral(ZELKOR_SIM_PATH); }

    bool start(int timeoutMs = 5000)
    {
        m_path.clear();
        m_proc.setProcessChannelMode(QProcess::SeparateChannels);
        m_proc.start(binary(), m_args);
        if (!m_proc.waitForStarted(timeoutMs))
            return fail(QStringLiteral("not started: ") + m_proc.errorString());
        while (!m_proc.canReadLine()) {
            if (!m_proc.waitForReadyRead(timeoutMs))
                return fail(QStringLiteral("no device path; stderr: ") +
                            QString::fromLocal8Bit(m_proc.readAllStandardError()));
        }
        m_path = QString::fromLocal8Bit(m_proc.readLine()).trimmed();
        return !m_path.isEmpty() || fail(QStringLiteral("empty device path"));
    }

    // SIGTERM, then a clean exit with code 0 is expected.
    bool stop(int timeoutMs = 5000)
    {
        if (m_proc.state() == QProcess::NotRunning)
            return fail(QStringLiteral("not running"));
        m_proc.terminate();
        if (!m_proc.waitForFinished(timeoutMs))
            return fail(QStringLiteral("did not end on SIGTERM"));
        if (m_proc.exitStatus() != QProcess::NormalExit || m_proc.exitCode() != 0)
            return fail(QStringLiteral("exit code %1").arg(m_proc.exitCode()));
        return true;
    }

    // A line for a simulator started with --control, e.g. "r 138.51". Waits
    // until it has answered with its state line (stderr), which is returned.
    QString command(const QByteArray& line, int timeoutMs = 3000)
    {
        m_proc.readAllStandardError();
        m_proc.write(line + '\n');
        m_proc.waitForBytesWritten(timeoutMs);
        m_proc.setReadChannel(QProcess::StandardError);
        QString answer;
        while (answer.isEmpty()) {
            if (!m_proc.canReadLine() && !m_proc.waitForReadyRead(timeoutMs))
                break;
            while (m_proc.canReadLine())
                answer = QString::fromLocal8Bit(m_proc.readLine()).trimmed();
        }
        m_proc.setReadChannel(QProcess::StandardOutput);
        return answer;
    }

    // The output current from the state line `command` returned, mA; NaN without one.
    static double outputCurrent(const QString& stateLine)
    {
        const qsizetype at = stateLine.indexOf(QStringLiteral("output "));
        bool ok = false;
        const double v = at < 0 ? 0 : stateLine.mid(at + 7).section(QLatin1Char(' '), 0, 0).toDouble(&ok);
        return ok ? v : std::numeric_limits<double>::quiet_NaN();
    }

    QString devicePath() const { return m_path; }
    QString error() const { return m_error; }
    QByteArray standardError() { return m_proc.readAllStandardError(); }
    bool running() const { return m_proc.state() == QProcess::Running; }

private:
    bool fail(const QString& why)
    {
        m_error = why;
        return false;
    }

    QStringList m_args;
    QProcess m_proc;
    QString m_path;
    QString m_error;
};
