#include "app/AboutFrm.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace {

QLabel* makeLabel(QWidget* parent, const QString& text, int pointSize, bool bold, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    if (pointSize > 0)
        f.setPointSize(pointSize);
    f.setBold(bold);
    label->setFont(f);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(geometry);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0x10, 0x20, 0x48));
    label->setPalette(p);
    return label;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(kWidth, kHeight);
    setModal(false);

    // Stored as a JPEG; Qt's JPEG plugin (libjpeg) decodes it.
    m_picture.load(QStringLiteral(":/about.jpg"), "JPG");

    lbProductName = makeLabel(this, QStringLiteral("Зелкор"), 26, true, QRect(10, 28, kWidth - 20, 48));
    lbVersion = makeLabel(this, QStringLiteral("Версия  1.0"), 0, true, QRect(10, 82, kWidth - 20, 18));
    // The design's text breaks with "\r\n"; a label wants one "\n".
    lbPurpose = makeLabel(this, QStringLiteral("Программа для настройки \nпреобразователей Зелкор"), 9, false,
                          QRect(10, 118, kWidth - 20, 40));
    lbMaker = makeLabel(this, QStringLiteral("Мастерская измерительной техники «Зелкор»"), 0, true,
                        QRect(10, 236, kWidth - 20, 18));
    lbContacts = makeLabel(this, QStringLiteral("тел. +7 (000) 000-00-00, zelkor@example.org"), 0, false,
                           QRect(10, 258, kWidth - 20, 32));
}

void TfrmAbout::ShowAbout()
{
    if (QWidget* owner = parentWidget()) {
        const QRect r = owner->frameGeometry();
        move(r.center() - QPoint(kWidth / 2, kHeight / 2));
    }
    show();
    raise();
    activateWindow();
}

void TfrmAbout::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull())
        painter.drawImage(rect(), m_picture);
    else
        painter.fillRect(rect(), palette().window());
    painter.setPen(QColor(0x40, 0x50, 0x70));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TfrmAbout::mousePressEvent(QMouseEvent*)
{
    close();
}

void TfrmAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QDialog::keyPressEvent(event);
}

void TfrmAbout::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow())
        close();
    QDialog::changeEvent(event);
}
