// The settings dialog: its handlers write the settings record at once; the
// file gets them when the settings are saved. The main window keeps the
// dialog for the run.
#include "MainRig.h"
#include "PageRig.h"

#include "FitCheck.h"
#include "rbcontrols/RbCheckBox.h"
#include "app/SetFrm.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

struct SettingsRig {
    PageRig rig;
    TfrmSettings* dlg = nullptr;
    QVector<TSerialDevice> devices{
        {"/dev/ttyS0", {}, {}, {}},
        {"/dev/ttyS2", {}, "16550A", {}},
        {"/dev/ttyUSB0", {}, "FT232R USB UART", {}},
    };

    explicit SettingsRig(const QByteArray& ini = {})
        : rig(ini)
    {
        rig.onPort = [](ScriptedPort& p) { AnswerAsDevice(p, 1); };
        rig.make();
        dlg = new TfrmSettings(rig.settings, *rig.ctrl, rig.look, rig.window.get());
        dlg->DeviceSource = [this](const TComPortMap&) { return devices; };
    }
    void connect(int port)
    {
        rig.ctrl->Driver()->SetPort(port);
        ASSERT_TRUE(rig.connect());
    }
    int indexOf(const QString& prefix) const
    {
        for (int i = 0; i < dlg->cbCom->count(); ++i)
            if (dlg->cbCom->itemText(i).startsWith(prefix))
                return i;
        return -1;
    }
    // The save the program makes at close.
    QByteArray closeAndRead()
    {
        QString error;
        EXPECT_TRUE(SaveSettings(rig.settings, rig.session().Transducer.SlaveID, rig.ctrl->PortNumber(), {}, &error))
            << error.toStdString();
        QFile f(rig.settings.IniFileName);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST(SettingsDialog, CreationLoadsTheControlsFromTheRecord)
{
    SettingsRig s("[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toLast\r\nDefaultSlaveID=12\r\nRepeatNum=4\r\n");
    TfrmSettings* d = s.dlg;
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Настройки программы"));
    EXPECT_EQ(d->size(), QSize(608, 281));
    EXPECT_TRUE(d->cbSetConnectBeforeRun->Checked());
    EXPECT_TRUE(OptionChecked(d->rbToLast));
    EXPECT_FALSE(OptionChecked(d->rbConnectToNum));
    EXPECT_TRUE(d->rbFindFirst->isEnabled());
    EXPECT_FALSE(d->rseSlaveID->isEnabled()) << "only with toNum";
    EXPECT_EQ(d->rseSlaveID->value(), 12);
    EXPECT_EQ(d->rseRepNum->value(), 4);
    EXPECT_EQ(d->edComSpeed->text(), QStringLiteral("1200"));
    EXPECT_TRUE(d->edComSpeed->isReadOnly());

    SettingsRig off; // no file: ConnectBeforeRun off, the modes disabled
    EXPECT_FALSE(off.dlg->cbSetConnectBeforeRun->Checked());
    EXPECT_FALSE(off.dlg->rbConnectToNum->isEnabled());
    EXPECT_TRUE(OptionChecked(off.dlg->rbConnectToNum));
    EXPECT_FALSE(off.dlg->rseSlaveID->isEnabled());
}

TEST(SettingsDialog, ShowingFillsThePortsAndTakesTheCurrentAddress)
{
    SettingsRig s("[Defaults]\r\nDefaultComPortNum=3\r\nDefaultSlaveID=4\r\n");
    s.rig.session().Transducer.SlaveID = 33;
    s.dlg->FormShow();
    ASSERT_EQ(s.dlg->cbCom->count(), 3);
    EXPECT_TRUE(s.dlg->cbCom->currentText().startsWith(QStringLiteral("COM3:"))) << s.dlg->cbCom->currentText().toStdString();
    EXPECT_EQ(s.rig.settings.DefaultSlaveID, 33);
    EXPECT_EQ(s.dlg->rseSlaveID->value(), 33);
    EXPECT_EQ(s.dlg->PageControl1->currentWidget(), s.dlg->tsBasic);
    EXPECT_EQ(s.dlg->TreeView1->currentItem(), s.dlg->nodeBasic);

    s.dlg->TreeView1->setCurrentItem(s.dlg->nodeConnection);
    EXPECT_EQ(s.dlg->PageControl1->currentWidget(), s.dlg->tsConnection);
    s.dlg->TreeView1->setCurrentItem(s.dlg->nodeRoot);
    EXPECT_EQ(s.dlg->PageControl1->currentWidget(), s.dlg->tsBasic);

    // A port number the list does not have: nothing selected.
    s.rig.settings.DefaultComPortNum = 9;
    s.dlg->FormShow();
    EXPECT_EQ(s.dlg->cbCom->currentIndex(), -1);
}

TEST(SettingsDialog, ToFirstAfterToLastWritesToFirst)
{
    SettingsRig s("[Defaults]\r\nConnectBeforeRun=0\r\nConnectionType=toNum\r\nDefaultSlaveID=5\r\n");
    s.dlg->cbSetConnectBeforeRun->Click();
    EXPECT_TRUE(s.rig.settings.ConnectBeforeRun);
    EXPECT_TRUE(s.dlg->rbToLast->isEnabled());
    s.rig.session().Transducer.SlaveID = 21;
    ClickOption(s.dlg->rbToLast);
    EXPECT_EQ(s.dlg->rseSlaveID->value(), 21) << "the current address";
    EXPECT_FALSE(s.dlg->rseSlaveID->isEnabled());
    EXPECT_TRUE(s.rig.settings.ConnectToLast);
    ClickOption(s.dlg->rbFindFirst);
    EXPECT_FALSE(OptionChecked(s.dlg->rbToLast));
    EXPECT_TRUE(s.rig.settings.ConnectToFirst);
    EXPECT_FALSE(s.rig.settings.ConnectToLast);
    EXPECT_FALSE(s.rig.settings.ConnectToNum);
    const QByteArray ini = s.closeAndRead();
    EXPECT_TRUE(ini.contains("ConnectBeforeRun=1\r\nConnectionType=toFirst\r\n")) << ini.constData();

    SettingsRig back("[Defaults]\r\nConnectBeforeRun=0\r\nConnectionType=toFirst\r\n");
    back.dlg->cbSetConnectBeforeRun->Click();
    ClickOption(back.dlg->rbConnectToNum);
    EXPECT_TRUE(back.dlg->rseSlaveID->isEnabled());
    back.dlg->rseSlaveID->setValue(77);
    const QByteArray ini2 = back.closeAndRead();
    EXPECT_TRUE(ini2.contains("ConnectionType=toNum\r\n")) << ini2.constData();
}

TEST(SettingsDialog, UncheckingConnectBeforeRunWritesAnEmptyType)
{
    SettingsRig s("[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toLast\r\n");
    s.dlg->cbSetConnectBeforeRun->Click();
    EXPECT_FALSE(s.rig.settings.ConnectBeforeRun);
    for (TOptionButton* b : {s.dlg->rbConnectToNum, s.dlg->rbToLast, s.dlg->rbFindFirst})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(s.dlg->rseSlaveID->isEnabled());
    const QByteArray ini = s.closeAndRead();
    EXPECT_TRUE(ini.contains("ConnectBeforeRun=0\r\nConnectionType=\r\n")) << ini.constData();
}

TEST(SettingsDialog, CheckingConnectBeforeRunWithoutAModePicksToNum)
{
    SettingsRig s("[Defaults]\r\nConnectBeforeRun=0\r\nConnectionType=toFirst\r\nDefaultSlaveID=8\r\n");
    EXPECT_TRUE(OptionChecked(s.dlg->rbFindFirst)) << "marked, though disabled";
    SetOptionChecked(s.dlg->rbFindFirst, false);
    s.dlg->cbSetConnectBeforeRun->Click(); // on, with no mark
    EXPECT_TRUE(s.rig.settings.ConnectBeforeRun);
    EXPECT_TRUE(s.rig.settings.ConnectToNum);
    EXPECT_FALSE(s.rig.settings.ConnectToFirst);
    EXPECT_TRUE(OptionChecked(s.dlg->rbConnectToNum));
    EXPECT_TRUE(s.dlg->rseSlaveID->isEnabled());
    EXPECT_EQ(s.rig.settings.DefaultSlaveID, 8);

    SettingsRig keep("[Defaults]\r\nConnectBeforeRun=0\r\nConnectionType=toFirst\r\n");
    keep.dlg->cbSetConnectBeforeRun->Click(); // the mark that is there decides
    EXPECT_TRUE(keep.rig.settings.ConnectToFirst);
    EXPECT_FALSE(keep.rig.settings.ConnectToNum);
    EXPECT_FALSE(keep.dlg->rseSlaveID->isEnabled());
}

TEST(SettingsDialog, RepeatNumActsAtOnce)
{
    SettingsRig s;
    s.dlg->rseRepNum->setValue(1);
    EXPECT_EQ(s.rig.settings.RepeatNum, 1);
    s.rig.session().link.ReportLinkErrors = true;
    s.rig.port()->clearRules(); // the device is silent now
    s.rig.ctrl->Driver()->SetPort(1);
    s.rig.ctrl->Connect();
    EXPECT_EQ(s.rig.port()->writeCount(), 1) << "one attempt only";
    EXPECT_TRUE(s.closeAndRead().contains("RepeatNum=1\r\n"));
}

TEST(SettingsDialog, QuickSearchCheckBoxOnTheConnectionPage)
{
    SettingsRig s;
    EXPECT_TRUE(s.dlg->tsConnection->isAncestorOf(s.dlg->cbQuickSearch));
    EXPECT_TRUE(s.dlg->cbQuickSearch->Checked()) << "on by default";
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(s.dlg->cbQuickSearch);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Быстрый поиск"));
    s.dlg->cbQuickSearch->Click();
    EXPECT_FALSE(s.rig.settings.QuickSearch) << "acts at once";
    EXPECT_TRUE(s.closeAndRead().contains("ViewToolBar=1\r\nQuickSearch=0\r\n"));

    SettingsRig off("[Defaults]\r\nQuickSearch=0\r\n");
    EXPECT_FALSE(off.dlg->cbQuickSearch->Checked());
    off.dlg->cbQuickSearch->Click();
    EXPECT_TRUE(off.rig.settings.QuickSearch);
}

TEST(SettingsDialog, SelectingTheCurrentPortChangesNothing)
{
    SettingsRig s("[Defaults]\r\nDefaultComPortNum=2\r\n");
    s.connect(2);
    s.dlg->FormShow();
    const QString name = s.rig.ctrl->Driver()->PortName();
    s.dlg->cbComSelect(s.indexOf(QStringLiteral("COM2:")));
    EXPECT_TRUE(s.rig.msgs.isEmpty());
    EXPECT_TRUE(s.rig.ctrl->IsConnected());
    EXPECT_EQ(s.rig.ctrl->Driver()->PortName(), name);
    EXPECT_EQ(s.rig.ctrl->Driver()->Port(), 2);
    EXPECT_EQ(s.rig.settings.DefaultComPortNum, 2);
}

TEST(SettingsDialog, SelectingAnotherPortWhileConnectedAsks)
{
    SettingsRig s("[Defaults]\r\nDefaultComPortNum=1\r\n");
    s.connect(1);
    s.dlg->FormShow();
    const int com3 = s.indexOf(QStringLiteral("COM3:"));
    ASSERT_GE(com3, 0);

    s.rig.msgs.answer(mrNo);
    s.dlg->cbComSelect(com3);
    EXPECT_EQ(s.rig.msgs.texts(), QStringList{QStringLiteral("Разорвать установленное соединение?")});
    EXPECT_EQ(s.rig.msgs.last().kind, mkConfirmation);
    EXPECT_TRUE(s.rig.ctrl->IsConnected());
    EXPECT_EQ(s.rig.settings.DefaultComPortNum, 1);
    EXPECT_EQ(s.rig.ctrl->Driver()->Port(), 1);

    s.rig.msgs.answer(mrYes);
    s.dlg->cbComSelect(com3);
    EXPECT_FALSE(s.rig.ctrl->IsConnected());
    EXPECT_EQ(s.rig.settings.DefaultComPortNum, 3);
    EXPECT_EQ(s.rig.ctrl->Driver()->PortName(), QStringLiteral("//./COM3"));
    EXPECT_EQ(s.rig.statusBar->PanelText(0), QStringLiteral("Соединение не установленно"));
}

TEST(SettingsDialog, EnterInThePortField)
{
    SettingsRig s;
    s.dlg->FormShow();
    auto typeAndEnter = [&s](const QString& text) {
        s.dlg->cbCom->lineEdit()->clear();
        QTest::keyClicks(s.dlg->cbCom->lineEdit(), text);
        QTest::keyClick(s.dlg->cbCom->lineEdit(), Qt::Key_Return);
    };
    typeAndEnter(QStringLiteral("com7"));
    EXPECT_EQ(s.rig.settings.DefaultComPortNum, 7);
    EXPECT_EQ(s.rig.ctrl->Driver()->PortName(), QStringLiteral("\\\\.\\COM7"));
    EXPECT_TRUE(s.rig.msgs.isEmpty());

    typeAndEnter(QStringLiteral("ttyS1")); // no "com": nothing
    typeAndEnter(QStringLiteral("COMX")); // no number: refused
    EXPECT_EQ(s.rig.msgs.count(), 1);
    EXPECT_TRUE(s.rig.msgs.last().text.contains(QStringLiteral("COMX")));
    EXPECT_EQ(s.rig.settings.DefaultComPortNum, 7);
    EXPECT_EQ(s.rig.ctrl->Driver()->PortName(), QStringLiteral("\\\\.\\COM7"));
}

TEST(SettingsDialogInWindow, CloseButtonKeepsEveryChange)
{
    MainRig rig;
    const auto frm = rig.make();
    TfrmSettings* dlg = frm->SettingsDialog();
    QTimer::singleShot(0, [dlg] {
        dlg->rseRepNum->setValue(6);
        dlg->RbButton2->Click();
    });
    frm->findChild<QAction*>(QStringLiteral("actProgSet"))->trigger();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(frm->Settings().RepeatNum, 6);
    EXPECT_EQ(frm->SettingsDialog(), dlg) << "kept for the run";
}

TEST(SettingsDialog, TextsFitAtTheProgramFont)
{
    const QFont before = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
    {
        SettingsRig s("[Defaults]\r\nConnectBeforeRun=1\r\nConnectionType=toNum\r\n");
        s.dlg->show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(TextsThatDoNotFit(s.dlg->tsBasic).isEmpty()) << TextsThatDoNotFit(s.dlg->tsBasic).join(QStringLiteral(" | ")).toStdString();
        SaveShot(s.dlg, QStringLiteral("settings-basic.png"));
        s.dlg->TreeView1->setCurrentItem(s.dlg->nodeConnection);
        QCoreApplication::processEvents();
        EXPECT_TRUE(TextsThatDoNotFit(s.dlg->tsConnection).isEmpty()) << TextsThatDoNotFit(s.dlg->tsConnection).join(QStringLiteral(" | ")).toStdString();
        SaveShot(s.dlg, QStringLiteral("settings-connection.png"));
        s.dlg->hide();
    }
    QApplication::setFont(before);
}
