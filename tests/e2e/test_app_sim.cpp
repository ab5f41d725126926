// The program against the simulated transducer on a pty: the start-up
// connection through the real COM-port dialog, the information record
// written to the device, and the settings file written at close.
#include "app/COMChoiceFrm.h"
#include "link/CommPortDriver.h"
#include "common/Cp1251.h"
#include "app/InformationPage.h"
#include "app/MainWindow.h"
#include "RecordingMessages.h"
#include "SimState.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SimProcess {
public:
    bool start(const QString& link, const QString& state)
    {
        m_process.setProgram(QStringLiteral(ZELKOR_SIM_PATH));
        m_process.setArguments({QStringLiteral("--link"), link, QStringLiteral("--state"), state,
                                QStringLiteral("--noise"), QStringLiteral("0")});
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000))
                return false;
        }
        devicePath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return !devicePath.isEmpty();
    }
    ~SimProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000))
                m_process.kill();
            m_process.waitForFinished(1000);
        }
    }
    QString devicePath;

private:
    QProcess m_process;
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Leave(QLineEdit* edit)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &out);
}

// The user's part in the port dialog the start-up shows: pick COM1, press Ok.
void AnswerPortDialogWithCOM1(int* seen)
{
    QTimer::singleShot(50, [seen] {
        auto* dlg = qobject_cast<TfrmCOMChoice*>(QApplication::activeModalWidget());
        if (!dlg) {
            AnswerPortDialogWithCOM1(seen); // not up yet
            return;
        }
        ++*seen;
        for (int i = 0; i < dlg->cbComPort->count(); ++i) {
            if (dlg->cbComPort->itemText(i).startsWith(QStringLiteral("COM1:"))) {
                dlg->cbComPort->setCurrentIndex(i);
                dlg->cbComPortSelect(i);
                break;
            }
        }
        dlg->Button1->click();
    });
}

} // namespace

TEST(AppAgainstSimulator, StartupConnectsWritesTheRecordAndSavesSettings)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString link = tmp.filePath(QStringLiteral("com1"));
    const QString state = tmp.filePath(QStringLiteral("sim.ini"));
    SimProcess sim;
    ASSERT_TRUE(sim.start(link, state)) << "zelkor-sim did not start";

    const QString progDir = tmp.filePath(QStringLiteral("prog"));
    ASSERT_TRUE(QDir().mkpath(progDir + QStringLiteral("/ColorSchemas")));
    QByteArray scheme = ReadFile(QStringLiteral(ZELKOR_SOURCE_DIR "/resources/ColorSchemas/Standart.rbs"));
    if (scheme.isEmpty())
        scheme = "[RbControls]\r\nTRbStyleManagerNPanelColor=14215660\r\n[Other]\r\nFormColor=-16777201\r\n";
    WriteFile(progDir + QStringLiteral("/ColorSchemas/Standart.rbs"), scheme);
    const QString iniPath = progDir + QStringLiteral("/Zelkor.ini");
    WriteFile(iniPath, "[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toNum\r\nDefaultSlaveID=1\r\n"
                       "DefaultComPortNum=1\r\n[Ports]\r\nCOM1="
                           + link.toLocal8Bit() + "\r\n");

    RecordingMessages msgs;
    int dialogs = 0;
    AnswerPortDialogWithCOM1(&dialogs);
    TMainWindowOptions options;
    options.exePath = progDir + QStringLiteral("/zelkor");
    options.userConfigDir = tmp.filePath(QStringLiteral("cfg"));
    options.messages = &msgs;
    QStringList errorBoxes;
    options.errorBox = [&errorBoxes](const QString& text) { errorBoxes << text; };
    TfrmMain frm(std::move(options));

    ASSERT_TRUE(errorBoxes.isEmpty()) << errorBoxes.join('|').toStdString();
    EXPECT_EQ(dialogs, 1) << "the start-up shows the port dialog once";
    ASSERT_TRUE(frm.IsConnected()) << msgs.texts().join('|').toStdString();
    EXPECT_EQ(frm.cpDRV()->Port(), 1);
    EXPECT_EQ(frm.StatusPanelText(0), QStringLiteral("Соединение установленно"));
    EXPECT_EQ(frm.findChild<QAction*>(QStringLiteral("actConnect"))->text(), QStringLiteral("Разорвать соединение"));

    TSimState stored;
    QString error;
    ASSERT_TRUE(LoadSimState(state, stored, &error)) << error.toStdString();
    TInformationPage* page = frm.tsInformation();
    EXPECT_EQ(page->edSlaveID->text(), QStringLiteral("1"));
    EXPECT_EQ(page->edPLType->text(), fromCp1251(stored.typeText).trimmed());
    EXPECT_FALSE(page->edPLType->text().isEmpty());
    EXPECT_EQ(page->edSensorType->text(), fromCp1251(stored.sensorTypeText).trimmed());
    EXPECT_EQ(page->edSensorNum->text(), QString::number(stored.sensorNumber));

    // The user edits the record and presses "Записать".
    page->edSensorType->setText(QStringLiteral("ТСП-Е2Е"));
    Leave(page->edSensorType);
    page->edSensorNum->setText(QStringLiteral("4242"));
    Leave(page->edSensorNum);
    page->meSensorDate->setText(QStringLiteral("05.06.2021"));
    Leave(page->meSensorDate);
    page->btnInfWrite->Click();
    EXPECT_TRUE(frm.IsConnected());

    QElapsedTimer wait;
    wait.start();
    do {
        LoadSimState(state, stored, &error);
        if (stored.sensorNumber == 4242)
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    } while (wait.elapsed() < 3000);
    EXPECT_EQ(stored.sensorTypeText, toCp1251(QStringLiteral("ТСП-Е2Е")));
    EXPECT_EQ(stored.sensorNumber, 4242);
    EXPECT_EQ(stored.sensorDate, MakeSimDate(5, 6, 2021));

    // "Прочитать" brings the stored record back.
    page->edSensorNum->setText(QStringLiteral("1"));
    page->btnInfRead->Click();
    EXPECT_EQ(page->edSensorNum->text(), QStringLiteral("4242"));
    EXPECT_EQ(page->meSensorDate->text(), QStringLiteral("05.06.2021"));

    frm.close();
    EXPECT_TRUE(msgs.isEmpty()) << msgs.texts().join('|').toStdString();
    const QByteArray ini = ReadFile(iniPath);
    EXPECT_TRUE(ini.startsWith("[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toNum\r\nDefaultSlaveID=1\r\n"
                               "DefaultComPortNum=1\r\n"))
        << ini.constData();
    EXPECT_TRUE(ini.contains("COM1=" + link.toLocal8Bit())) << "the port map survives the save";
}
