#include "app/ViewStatusFrm.h"

#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbProgressBar.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

const QString TfrmViewStatus::DefaultText =
    QStringLiteral("Производится установка соединения с прибором номер\r\nПожалуйста подождите.");

TfrmViewStatus::TfrmViewStatus(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmViewStatus"));
    setWindowTitle(QStringLiteral("Поиск прибора"));
    setModal(false);
    setFixedSize(kClientWidth, kClientHeight);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(15, 16, 377, 41);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont f = Label1->font();
    f.setBold(true);
    Label1->setFont(f);
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    Label1->setPalette(p);
    SetText(DefaultText);

    RbProgressBar = new TRbProgressBar(this);
    RbProgressBar->setObjectName(QStringLiteral("RbProgressBar"));
    RbProgressBar->SetBounds(31, 72, 345, 16);
    RbProgressBar->SetMin(0);
    RbProgressBar->SetMax(100);
    RbProgressBar->SetPosition(0);
    RbProgressBar->hide();
    btnStop = new TRbButton(this);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnStop->SetCaption(QStringLiteral("Стоп!"));
    btnStop->SetBounds(166, 98, 75, 25);
    btnStop->hide();
    connect(btnStop, &TRbButton::clicked, this, &TfrmViewStatus::btnStopClick);
}

void TfrmViewStatus::btnStopClick()
{
    emit stopRequested();
}

void TfrmViewStatus::SetText(const QString& text)
{
    // The texts carry Windows line breaks ("\n\r", "\r\n"); a label wants one "\n".
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    t.remove(QLatin1Char('\r'));
    Label1->setText(t);
    // A two-line status needs more than the label's design height.
    Label1->setFixedHeight(qMax(41, Label1->heightForWidth(Label1->width())));
}

QString TfrmViewStatus::Text() const
{
    return Label1->text();
}

void TfrmViewStatus::SetWindowHeight(int outerHeight)
{
    m_outerHeight = outerHeight;
    setFixedSize(kClientWidth, qMax(outerHeight - kCaptionHeight, Label1->geometry().bottom() + 8));
}

void TfrmViewStatus::ShowStatus()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
}

void TfrmViewStatus::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmViewStatus::closeEvent(QCloseEvent* event)
{
    // Only the program closes it (hide()); the window manager's close is refused.
    if (event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}
