#include "app/ErrorBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStyle>

#include <algorithm>

namespace {

// Window icon, menu, minimize, maximize and close, as the widest decorations have.
constexpr int kTitleBarButtons = 5;
constexpr int kTitleBarMargin = 48;

} // namespace

int CaptionRoom(const QMessageBox& box, const QString& caption)
{
    const QFontMetrics fm(QApplication::font("QMdiSubWindowTitleBar"));
    const int button = std::max(box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box), 32);
    return fm.horizontalAdvance(caption) + kTitleBarButtons * button + kTitleBarMargin;
}

void MakeRoomForCaption(QMessageBox& box)
{
    // QMessageBox sizes itself from its text and ignores a minimum width; a
    // spacer across its grid is what it honours.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(CaptionRoom(box, box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void ShowErrorBox(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    MakeRoomForCaption(box);
    box.exec();
}
