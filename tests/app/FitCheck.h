#pragma once

// Texts that do not fit their controls at the program's 8-point font, and
// controls that stick out of their parents. Empty when all is well.
//
//   EXPECT_EQ(TextsThatDoNotFit(page), QStringList{});
//   SaveShot(page, "configuration.png");   // with ZELKOR_SCREENSHOT_DIR set

#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbRadioButton.h"

#include <QAbstractButton>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QStringList>
#include <QWidget>

inline QStringList TextsThatDoNotFit(QWidget* root)
{
    QStringList bad;
    auto report = [&bad](const QWidget* w, const QString& why) {
        bad << w->objectName() + QStringLiteral(": ") + why;
    };
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->objectName().isEmpty())
            continue;
        if (w->parentWidget() && w->parentWidget() != root->parentWidget()) {
            const QRect inside = w->parentWidget()->rect();
            if (!inside.contains(w->geometry()))
                report(w, QStringLiteral("outside its parent"));
        }
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->wordWrap()) {
                if (l->heightForWidth(l->contentsRect().width()) > l->contentsRect().height())
                    report(w, QStringLiteral("wrapped text too tall"));
            } else if (l->sizeHint().width() > l->width()) {
                report(w, QStringLiteral("text wider than the label (%1 > %2)").arg(l->sizeHint().width()).arg(l->width()));
            }
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (b->sizeHint().width() > b->width())
                report(w, QStringLiteral("caption wider than the button"));
        } else if (auto* c = qobject_cast<TRbCheckBox*>(w)) {
            const int need = c->BoxRect().right() + c->Spacing() + QFontMetrics(c->Font().ToQFont()).horizontalAdvance(c->Caption());
            if (need > c->width())
                report(w, QStringLiteral("caption wider than the check box"));
        } else if (auto* r = qobject_cast<TRbRadioButton*>(w)) {
            const int need = r->CircleRect().right() + r->Spacing() + QFontMetrics(r->Font().ToQFont()).horizontalAdvance(r->Caption());
            if (need > r->width())
                report(w, QStringLiteral("caption wider than the radio button (%1 > %2)").arg(need).arg(r->width()));
        } else if (auto* rb = qobject_cast<TRbButton*>(w)) {
            if (QFontMetrics(rb->Font().ToQFont()).horizontalAdvance(rb->Caption()) + 8 > rb->width())
                report(w, QStringLiteral("caption wider than the button"));
        } else if (auto* p = qobject_cast<TRbPanel*>(w)) {
            const int need = QFontMetrics(p->Font().ToQFont()).horizontalAdvance(p->Caption()) + 2 * p->CornerWidth();
            if (need > p->width())
                report(w, QStringLiteral("caption wider than the frame (%1 > %2)").arg(need).arg(p->width()));
        }
    }
    return bad;
}

inline void SaveShot(QWidget* w, const QString& fileName)
{
    const QByteArray dir = qgetenv("ZELKOR_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(fileName));
}
