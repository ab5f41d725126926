#include "app/DeferredMessageDialog.h"
#include "app/MessageFrm.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include "rbcontrols/RbButton.h"
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

// What the window showed when a message came up.
struct Shown {
    QString text;
    bool ok = false, yes = false, no = false, value = false, icon = false;
    QString yesText, noText;
    int iconIndex = -1;
    int labelHeight = 0;
    QSize size;
};

struct MessageFixture : ::testing::Test {
    TfrmMessage dlg;
    QList<Shown> shown;
    // Run for the n-th message shown (0-based), after it has been recorded.
    QList<std::function<void()>> actions;

    QMetaObject::Connection presentedConnection;
    // What runs when a message is on screen, in place of the fixture's recorder.
    template <class F>
    void onPresented(F f)
    {
        QObject::disconnect(presentedConnection);
        presentedConnection = QObject::connect(&dlg, &TfrmMessage::presented, f);
    }

    MessageFixture()
    {
        onPresented([this](TfrmMessage& d) {
            Shown s;
            s.text = d.lbMess->text();
            s.ok = d.btnOk->isVisible();
            s.yes = d.btnYes->isVisible();
            s.no = d.btnNo->isVisible();
            s.value = d.rseVal->isVisible();
            s.icon = d.Image1->isVisible();
            s.yesText = d.btnYes->Caption();
            s.noText = d.btnNo->Caption();
            const QImage img = d.Image1->pixmap().toImage();
            for (int i = 0; i < d.ImageList1.size(); ++i)
                if (!img.isNull() && img == d.ImageList1[i].toImage())
                    s.iconIndex = i;
            s.labelHeight = d.lbMess->height();
            s.size = d.size();
            const int n = int(shown.size());
            shown << s;
            // Answer from the event loop, as a person would.
            if (n < actions.size())
                QTimer::singleShot(1, &dlg, actions[n]);
        });
    }
    void press(TMessageButton* b) { actions << [b] { b->Click(); }; }
    void key(int k) { actions << [this, k] { QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dlg, Qt::Key(k)); }; }

    void expectClean()
    {
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_TRUE(dlg.lbMess->text().isEmpty());
        EXPECT_TRUE(dlg.Image1->pixmap().isNull());
        EXPECT_FALSE(dlg.btnOk->isVisibleTo(&dlg) || dlg.btnYes->isVisibleTo(&dlg) || dlg.btnNo->isVisibleTo(&dlg));
    }
};

} // namespace

TEST_F(MessageFixture, WindowAndControlsHaveTheirPlaces)
{
    EXPECT_EQ(dlg.windowTitle(), "Зелкор");
    EXPECT_EQ(dlg.size(), QSize(359, 122));
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(dlg.lbMess->geometry(), QRect(56, 8, 289, 73));
    EXPECT_EQ(dlg.Image1->geometry(), QRect(16, 16, 32, 32));
    EXPECT_EQ(dlg.btnOk->geometry(), QRect(152, 88, 75, 25));
    EXPECT_EQ(dlg.btnYes->geometry(), QRect(104, 88, 75, 25));
    EXPECT_EQ(dlg.btnNo->geometry(), QRect(184, 88, 75, 25));
    EXPECT_EQ(dlg.rseVal->geometry(), QRect(133, 58, 97, 21));
    EXPECT_EQ(dlg.rseVal->decimals(), 1);
    EXPECT_DOUBLE_EQ(dlg.rseVal->singleStep(), 0.1);
    expectClean();

    // Four different icons, each with something drawn on it.
    ASSERT_EQ(dlg.ImageList1.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(dlg.ImageList1[i].size(), QSize(32, 32));
        const QImage img = dlg.ImageList1[i].toImage();
        EXPECT_EQ(img.pixelColor(0, 0).alpha(), 0) << i; // transparent corner
        EXPECT_EQ(img.pixelColor(16, 26).alpha(), 255) << i;
        for (int j = 0; j < i; ++j)
            EXPECT_NE(img, dlg.ImageList1[j].toImage()) << i << j;
    }
    // The error icon is a white cross on red.
    const QImage err = dlg.ImageList1[3].toImage();
    EXPECT_EQ(err.pixelColor(16, 16), QColor(Qt::white));
    EXPECT_GT(err.pixelColor(16, 5).red(), 180);
    EXPECT_LT(err.pixelColor(16, 5).green(), 80);

    // Centred over its owner.
    QWidget owner;
    owner.setGeometry(100, 120, 583, 367);
    owner.show();
    dlg.SetOwnerWindow(&owner);
    QPoint centre;
    onPresented([&](TfrmMessage& d) {
        centre = d.geometry().center();
        QTimer::singleShot(1, d.btnOk, &TRbButton::Click);
    });
    dlg.MessageDlg("x", mkInformation, 0, mbOk);
    EXPECT_LE((centre - owner.geometry().center()).manhattanLength(), 40);
}

TEST_F(MessageFixture, ButtonsIconsAndResultsFollowTheCall)
{
    press(dlg.btnYes);
    EXPECT_EQ(dlg.MessageDlg("Разорвать установленное соединение?", mkConfirmation, 0, mbYes | mbNo), mrYes);
    expectClean();
    press(dlg.btnNo);
    EXPECT_EQ(dlg.MessageDlg("Вопрос", mkWarning, 0, mbYes | mbNo), mrNo);
    press(dlg.btnOk);
    EXPECT_EQ(dlg.MessageDlg("Ошибка", mkError, 0, mbOk), mrOk);
    press(dlg.btnOk);
    EXPECT_EQ(dlg.MessageDlg("Сведения", mkInformation, 0, mbOk), mrOk);
    expectClean();

    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0].text, "Разорвать установленное соединение?");
    EXPECT_TRUE(shown[0].yes && shown[0].no && !shown[0].ok);
    EXPECT_EQ(shown[0].iconIndex, 1);
    EXPECT_EQ(shown[1].iconIndex, 2);
    // After a question, an Ok-only message shows no leftover Да/Нет.
    EXPECT_TRUE(shown[2].ok && !shown[2].yes && !shown[2].no);
    EXPECT_EQ(shown[2].iconIndex, 3);
    EXPECT_EQ(shown[3].iconIndex, 0);
    for (const Shown& s : shown) {
        EXPECT_EQ(s.size, QSize(359, 122));
        EXPECT_FALSE(s.value);
    }
}

TEST_F(MessageFixture, KeyboardAndOddButtonSets)
{
    key(Qt::Key_Escape);
    EXPECT_EQ(dlg.MessageDlg("?", mkConfirmation, 0, mbYes | mbNo), mrNo);
    key(Qt::Key_Return);
    EXPECT_EQ(dlg.MessageDlg("?", mkConfirmation, 0, mbYes | mbNo), mrYes);
    key(Qt::Key_Escape);
    EXPECT_EQ(dlg.MessageDlg("!", mkWarning, 0, mbOk), mrOk);
    // No button named: Ok all the same, or the window could never close.
    press(dlg.btnOk);
    EXPECT_EQ(dlg.MessageDlg("!", mkWarning, 0, 0), mrOk);
    EXPECT_TRUE(shown.last().ok);
    // All bits: Ok never stands on top of Да and Нет.
    press(dlg.btnNo);
    EXPECT_EQ(dlg.MessageDlg("!", mkWarning, 0, mbYes | mbNo | mbOk), mrNo);
    EXPECT_TRUE(shown.last().yes && shown.last().no && !shown.last().ok);
    // The window manager's close acts like Escape.
    actions << [this] { dlg.close(); };
    EXPECT_EQ(dlg.MessageDlg("?", mkConfirmation, 0, mbYes | mbNo), mrNo);
    expectClean();
}

TEST_F(MessageFixture, EnterValueDeliversTheFieldAlsoWhenCancelled)
{
    const auto typeValue = [this](const QString& text) {
        actions << [this, text] {
            QLineEdit* edit = dlg.rseVal->findChild<QLineEdit*>();
            edit->selectAll();
            QTest::keyClicks(edit, text);
            dlg.btnNo->Click();
        };
    };
    const QChar point = dlg.rseVal->locale().decimalPoint().at(0);
    typeValue(QString("25") + point + "3");
    double value = 0;
    EXPECT_EQ(dlg.EnterValue("Введите температуру", value, 0, 20.0), mrNo);
    EXPECT_DOUBLE_EQ(value, 25.3);
    const Shown prompt = shown.last();
    EXPECT_TRUE(prompt.value && prompt.yes && prompt.no && !prompt.ok && !prompt.icon);
    EXPECT_EQ(prompt.yesText, "Ok");
    EXPECT_EQ(prompt.noText, "Отмена");
    EXPECT_EQ(prompt.labelHeight, 45);

    press(dlg.btnYes);
    EXPECT_EQ(dlg.EnterValue("Введите температуру", value, 0, -12.5), mrYes);
    EXPECT_DOUBLE_EQ(value, -12.5);
    key(Qt::Key_Escape);
    EXPECT_EQ(dlg.EnterValue("?", value, 0, 3.0), mrNo);
    EXPECT_DOUBLE_EQ(value, 3.0);

    // The next message has its icon and its Да/Нет again.
    press(dlg.btnYes);
    EXPECT_EQ(dlg.MessageDlg("Продолжить?", mkConfirmation, 0, mbYes | mbNo), mrYes);
    const Shown after = shown.last();
    EXPECT_TRUE(after.icon && !after.value);
    EXPECT_EQ(after.iconIndex, 1);
    EXPECT_EQ(after.yesText, "Да");
    EXPECT_EQ(after.noText, "Нет");
    EXPECT_EQ(after.labelHeight, 73);
    expectClean();
}

TEST_F(MessageFixture, LineBreaksAndLongTexts)
{
    press(dlg.btnOk);
    dlg.MessageDlg("Не удалось установить соединение с прибором\n\r номер 1.\r\nA & B", mkWarning, 0, mbOk);
    EXPECT_EQ(shown.last().text, "Не удалось установить соединение с прибором\n номер 1.\nA & B");
    EXPECT_EQ(dlg.lbMess->alignment(), Qt::AlignCenter);
    EXPECT_EQ(dlg.lbMess->textFormat(), Qt::PlainText);
    EXPECT_EQ(shown.last().size, QSize(359, 122));

    // A text longer than the label makes the window taller, never cut off.
    QStringList lines;
    for (int i = 1; i <= 12; ++i)
        lines << QString("Строка номер %1").arg(i);
    int buttonTop = 0, labelBottom = 0, needed = 0;
    onPresented([&](TfrmMessage& d) {
        buttonTop = d.btnOk->y();
        labelBottom = d.lbMess->geometry().bottom();
        needed = d.lbMess->heightForWidth(d.lbMess->width());
        EXPECT_EQ(d.width(), 359);
        QTimer::singleShot(1, d.btnOk, &TRbButton::Click);
    });
    dlg.MessageDlg(lines.join("\r\n"), mkError, 0, mbOk);
    EXPECT_GE(labelBottom + 1 - 8, needed);
    EXPECT_GT(buttonTop, labelBottom);
    EXPECT_EQ(dlg.size(), QSize(359, 122)); // back to its size for the next message
}

TEST_F(MessageFixture, CallsDuringAMessageAreQueuedNotNested)
{
    int schemeCalls = 0;
    QObject::connect(&dlg, &TfrmMessage::schemeColorsWanted, [&] { ++schemeCalls; });
    int resultB = -1, resultC = -1, queuedWhileAShown = -1;
    double valueC = 0;
    QString onScreenDuringB, onScreenWhenAAnswered;
    // Message A is on screen when two timers fire and ask their own questions.
    actions << [&] {
        QTimer::singleShot(1, &dlg, [&] {
            onScreenDuringB = dlg.lbMess->text();
            resultB = dlg.MessageDlg("B", mkConfirmation, 0, mbYes | mbNo);
        });
        QTimer::singleShot(1, &dlg, [&] { resultC = dlg.EnterValue("C", valueC, 0, 1.5); });
        QTimer::singleShot(20, &dlg, [&] {
            queuedWhileAShown = dlg.QueuedCount();
            onScreenWhenAAnswered = dlg.lbMess->text();
            dlg.btnOk->Click();
        });
    };
    press(dlg.btnYes); // B
    press(dlg.btnNo);  // C
    const int resultA = dlg.MessageDlg("A", mkWarning, 0, mbOk);

    // Shown one after the other, in call order, each caller with its own answer.
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].text, "A");
    EXPECT_EQ(shown[1].text, "B");
    EXPECT_EQ(shown[2].text, "C");
    EXPECT_TRUE(shown[1].yes && shown[1].no && !shown[1].value);
    EXPECT_TRUE(shown[2].value);
    EXPECT_EQ(onScreenDuringB, "A");
    EXPECT_EQ(queuedWhileAShown, 2);
    EXPECT_EQ(onScreenWhenAAnswered, "A"); // B and C waited behind A
    EXPECT_EQ(resultA, mrOk);
    EXPECT_EQ(resultB, mrYes);
    EXPECT_EQ(resultC, mrNo);
    EXPECT_DOUBLE_EQ(valueC, 1.5);
    EXPECT_EQ(schemeCalls, 1); // the window stayed up from A to C
    EXPECT_EQ(dlg.QueuedCount(), 0);
    expectClean();
}

TEST_F(MessageFixture, ShortFormsShowTheErrorAndTheQuestion)
{
    press(dlg.btnOk);
    dlg.ShowError("Неверная дата");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, "Неверная дата");
    EXPECT_EQ(shown[0].iconIndex, 3);
    EXPECT_TRUE(shown[0].ok && !shown[0].yes && !shown[0].no);
    press(dlg.btnNo);
    EXPECT_EQ(dlg.Show("Сохранить?", mkConfirmation, mbYes | mbNo), mrNo);
}

// The window's dialog is built at the first message, not before; once its
// window is going, messages no longer reach it.
TEST_F(MessageFixture, DeferredDialogIsMadeAtTheFirstMessageAndDetachedAtTheEnd)
{
    int made = 0;
    TDeferredMessageDialog deferred([&]() -> IMessageDialog* { ++made; return &dlg; }, nullptr);
    EXPECT_EQ(made, 0);
    press(dlg.btnYes);
    EXPECT_EQ(deferred.Show("Продолжить?", mkConfirmation, mbYes | mbNo), mrYes);
    EXPECT_EQ(made, 1);
    ASSERT_EQ(shown.size(), 1);

    deferred.Detach();
    EXPECT_EQ(deferred.Show("Сохранить?", mkConfirmation, mbYes | mbNo), mrNo);
    EXPECT_EQ(deferred.Show("Готово", mkInformation, mbOk), mrOk);
    double value = 0;
    EXPECT_EQ(deferred.EnterValue("Температура", value, 0, 21.5), mrNo);
    EXPECT_DOUBLE_EQ(value, 21.5);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(shown.size(), 1);
}

// A "no connection" message naming a long /dev/serial/by-id path fits its
// window: the path is not cut at the edge, and every line is inside.
TEST_F(MessageFixture, LongDevicePathFitsTheWindow)
{
    const QString path = "/dev/serial/by-id/usb-Silicon_Labs_CP2102N_USB_to_UART_Bridge_Controller_"
                         "8a1c3e5f7b9d11ec9f0e0242ac120002-if00-port0";
    const QString text = "Нет соединения c COM3\n" + path + ": Permission denied\nsudo usermod -aG dialout $USER";
    QRect label, inside;
    QSize window;
    QRect needed;
    onPresented([&](TfrmMessage& d) {
        label = d.lbMess->geometry();
        inside = d.rect();
        window = d.size();
        needed = d.lbMess->fontMetrics().boundingRect(QRect(0, 0, label.width(), 10000),
                                                      Qt::AlignCenter | Qt::TextWordWrap, d.lbMess->text());
        d.grab().save("message-long-path.png");
        QTimer::singleShot(1, d.btnOk, &TRbButton::Click);
    });
    dlg.MessageDlg(text, mkWarning, 0, mbOk);
    EXPECT_LE(needed.width(), label.width()) << "the path is wider than the text area";
    EXPECT_LE(needed.height(), label.height());
    EXPECT_GE(label.left(), 8);
    EXPECT_LE(label.right(), inside.right() - 8) << "the text touches the window's edge";
    EXPECT_GT(window.width(), 359);
    EXPECT_EQ(dlg.size(), QSize(359, 122)) << "back to its size for the next message";
    EXPECT_EQ(dlg.btnOk->x(), 152);
}
