#include "app/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

TEST(ErrorBox, IsWideEnoughForItsCaption)
{
    // A caption longer than the text shows the widening; the program's own
    // short one gets at least the same room.
    for (const QString& caption : {QStringLiteral("Zelkor"), QStringLiteral("Zelkor: настройка преобразователей")}) {
        QMessageBox plain(QMessageBox::Critical, caption, QStringLiteral("File not exists!"), QMessageBox::Ok);
        QMessageBox roomy(QMessageBox::Critical, caption, QStringLiteral("File not exists!"), QMessageBox::Ok);
        MakeRoomForCaption(roomy);
        plain.adjustSize();
        roomy.adjustSize();
        const int needed = CaptionRoom(roomy, caption);
        EXPECT_GE(roomy.width(), needed) << caption.toStdString();
        if (caption.size() > 10) {
            EXPECT_LT(plain.width(), needed) << "without the room the caption would be cut";
        }
    }

    // A long text keeps its own width.
    const QString caption = QStringLiteral("Zelkor");
    QMessageBox wide(QMessageBox::Critical, caption, QString(80, QLatin1Char('x')), QMessageBox::Ok);
    wide.adjustSize();
    const int before = wide.width();
    MakeRoomForCaption(wide);
    wide.adjustSize();
    EXPECT_EQ(wide.width(), std::max(before, CaptionRoom(wide, caption)));
}

TEST(ErrorBox, ShowErrorBoxIsAModalCriticalBoxWithTheText)
{
    QString seenText, seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        box->accept();
    });
    ShowErrorBox(nullptr, QStringLiteral("Zelkor"), QStringLiteral("Empty or invalid file"));
    EXPECT_EQ(seenText, QStringLiteral("Empty or invalid file"));
    EXPECT_EQ(seenTitle, QStringLiteral("Zelkor"));
    EXPECT_EQ(seenIcon, QMessageBox::Critical);
}
