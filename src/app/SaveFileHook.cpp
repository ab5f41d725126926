#include "app/SaveFileHook.h"

#include <QFileDialog>

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}
