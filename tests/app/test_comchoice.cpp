#include "app/COMChoiceFrm.h"
#include "RecordingMessages.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

struct ChoiceFixture : ::testing::Test {
    TProgSettings settings;
    RecordingMessages messages;
    TfrmCOMChoice dlg{settings, messages};
    QVector<TSerialDevice> devices{
        {"/dev/ttyS0", {}, {}, {}},
        {"/dev/ttyS2", {}, "16550A", {}},
        {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI-if00-port0", "FT232R USB UART", {}},
    };
    QList<int> ports;
    QStringList names;
    int schemeCalls = 0;

    ChoiceFixture()
    {
        dlg.DeviceSource = [this](const TComPortMap&) { return devices; };
        QObject::connect(&dlg, &TfrmCOMChoice::portChosen, [this](int n) { ports << n; });
        QObject::connect(&dlg, &TfrmCOMChoice::portNameChosen, [this](const QString& name) { names << name; });
        QObject::connect(&dlg, &TfrmCOMChoice::schemeColorsWanted, [this] { ++schemeCalls; });
    }
    void typeAndEnter(const QString& text)
    {
        dlg.cbComPort->lineEdit()->clear();
        QTest::keyClicks(dlg.cbComPort->lineEdit(), text);
        QTest::keyClick(dlg.cbComPort->lineEdit(), Qt::Key_Return);
    }
    QStringList items() const
    {
        QStringList out;
        for (int i = 0; i < dlg.cbComPort->count(); ++i)
            out << dlg.cbComPort->itemText(i);
        return out;
    }
};

} // namespace

TEST_F(ChoiceFixture, ShowingListsThePortsAndChoosingOneSetsTheNumber)
{
    EXPECT_EQ(dlg.windowTitle(), "СОМ-порт");
    EXPECT_EQ(dlg.size(), QSize(161, 106));
    EXPECT_EQ(dlg.cbComPort->width(), 113);
    EXPECT_TRUE(dlg.Button1->isDefault());
    EXPECT_EQ(dlg.Button1->text(), "Ok");

    dlg.show();
    EXPECT_EQ(items(), (QStringList{"COM1: /dev/ttyS0", "COM2: /dev/ttyUSB0 (FT232R USB UART)",
                                    "COM3: /dev/ttyS2 (16550A)"}));
    EXPECT_EQ(schemeCalls, 1);
    EXPECT_EQ(settings.Ports.value(2), "/dev/serial/by-id/usb-FTDI-if00-port0"); // kept for tomorrow
    // The port in use is shown, but showing changes nothing.
    EXPECT_EQ(dlg.cbComPort->currentText(), "COM1: /dev/ttyS0");
    EXPECT_TRUE(ports.isEmpty());

    // Arrow keys walk the list, each step a choice, and the window stays.
    dlg.cbComPort->setFocus();
    QTest::keyClick(dlg.cbComPort, Qt::Key_Down);
    QTest::keyClick(dlg.cbComPort, Qt::Key_Down);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(ports, (QList<int>{2, 3}));
    EXPECT_EQ(settings.DefaultComPortNum, 3);
    EXPECT_TRUE(names.isEmpty());

    // Ok closes with Ok and keeps the choice.
    dlg.Button1->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(settings.DefaultComPortNum, 3);
}

TEST_F(ChoiceFixture, TypedPortNameWithEnterSetsTheName)
{
    dlg.show();
    typeAndEnter("com7");
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(names, QStringList{"\\\\.\\COM7"});
    EXPECT_TRUE(ports.isEmpty());
    EXPECT_EQ(settings.DefaultComPortNum, 7);
    EXPECT_TRUE(messages.isEmpty());

    // A text without "com" closes the window as Ok does and changes nothing.
    dlg.show();
    typeAndEnter("ttyUSB");
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(names.size(), 1);
    EXPECT_EQ(settings.DefaultComPortNum, 7);
}

TEST_F(ChoiceFixture, TextWithoutANumberIsRefusedAndTheWindowStays)
{
    settings.DefaultComPortNum = 4;
    devices.clear(); // nothing to complete the typed text from
    dlg.show();
    for (const QString& text : {QString("comX"), QString("COM"), QString("COM300"), QString("com0")}) {
        messages.clear();
        typeAndEnter(text);
        ASSERT_EQ(messages.count(), 1) << text.toStdString();
        EXPECT_TRUE(messages.last().text.contains(text)) << messages.last().text.toStdString();
        EXPECT_EQ(messages.last().kind, mkWarning);
        EXPECT_EQ(messages.last().buttons, mbOk);
        EXPECT_TRUE(dlg.isVisible());
    }
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(settings.DefaultComPortNum, 4);
    // The user corrects the text and goes on.
    typeAndEnter("COM5");
    EXPECT_EQ(names, QStringList{"\\\\.\\COM5"});
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(ChoiceFixture, CloseBoxCancelsAndKeepsThePortChosenBefore)
{
    QTimer::singleShot(1, &dlg, [this] {
        dlg.cbComPort->setFocus();
        QTest::keyClick(dlg.cbComPort, Qt::Key_Down);
        dlg.close();
    });
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_EQ(ports, QList<int>{2});
    EXPECT_EQ(settings.DefaultComPortNum, 2);

    QTimer::singleShot(1, &dlg, [this] { dlg.Button1->click(); });
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
}

TEST_F(ChoiceFixture, DropDownRefillsTheListWithNewDevices)
{
    TComPortMap reported;
    QObject::connect(&dlg, &TfrmCOMChoice::portMapChanged, [&](const TComPortMap& m) { reported = m; });
    dlg.show();
    ASSERT_EQ(dlg.cbComPort->count(), 3);
    devices.append({"/dev/ttyACM0", {}, "Arduino", {}});
    dlg.cbComPort->showPopup();
    EXPECT_EQ(items().last(), "COM4: /dev/ttyACM0 (Arduino)");
    EXPECT_EQ(reported.value(4), "/dev/ttyACM0");
    EXPECT_EQ(settings.Ports, reported);
    dlg.cbComPort->hidePopup();

    devices.clear(); // everything unplugged: the user can still type a port
    dlg.cbComPort->showPopup();
    dlg.cbComPort->hidePopup();
    EXPECT_EQ(dlg.cbComPort->count(), 0);
    typeAndEnter("COM5");
    EXPECT_EQ(names, QStringList{"\\\\.\\COM5"});
}

TEST_F(ChoiceFixture, OkOrEnterOnTheEntryShownChoosesIt)
{
    settings.DefaultComPortNum = 2;
    dlg.show();
    ASSERT_EQ(dlg.cbComPort->currentText(), "COM2: /dev/ttyUSB0 (FT232R USB UART)");
    dlg.Button1->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ports, QList<int>{2}) << "a choice by number, so the port is no longer known only by name";
    EXPECT_TRUE(names.isEmpty());

    dlg.show();
    QTest::keyClick(dlg.cbComPort->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(ports, (QList<int>{2, 2}));
    EXPECT_TRUE(names.isEmpty());

    // An edited entry is typed text again: Ok leaves the port alone.
    dlg.show();
    dlg.cbComPort->setEditText("COM2: /dev/ttyUSB");
    dlg.Button1->click();
    EXPECT_EQ(ports.size(), 2);
    EXPECT_EQ(settings.DefaultComPortNum, 2);
}

TEST_F(ChoiceFixture, LongEntriesShowTheirBeginningAndTheWholeAsTooltip)
{
    devices = {{"/dev/pts/7", {}, "псевдотерминал", {}},
               {"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "FT232R USB UART", {}}};
    settings.DefaultComPortNum = 1;
    dlg.show();
    QApplication::processEvents();
    const QString whole = dlg.cbComPort->itemText(0);
    ASSERT_TRUE(whole.startsWith("COM1: /dev/pts/7")) << whole.toStdString();
    EXPECT_EQ(dlg.cbComPort->currentText(), whole);
    EXPECT_EQ(dlg.cbComPort->lineEdit()->cursorPosition(), 0);
    EXPECT_EQ(dlg.cbComPort->toolTip(), whole);
    for (int i = 0; i < dlg.cbComPort->count(); ++i)
        EXPECT_EQ(dlg.cbComPort->itemData(i, Qt::ToolTipRole).toString(), dlg.cbComPort->itemText(i));
    // The opened list is wide enough for every entry whole.
    const QFontMetrics fm(dlg.cbComPort->view()->font());
    for (int i = 0; i < dlg.cbComPort->count(); ++i)
        EXPECT_GE(dlg.cbComPort->view()->minimumWidth(), fm.horizontalAdvance(dlg.cbComPort->itemText(i)));

    QTest::keyClick(dlg.cbComPort, Qt::Key_Down);
    EXPECT_EQ(dlg.cbComPort->toolTip(), dlg.cbComPort->itemText(1));
    EXPECT_EQ(dlg.cbComPort->lineEdit()->cursorPosition(), 0);
    dlg.grab().save(QStringLiteral("comchoice-long.png"));
}
