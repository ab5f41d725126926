#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

// A field is read out by the label in front of it: the label becomes its
// buddy and its text, without the closing colon, the field's name.
inline void NameByLabel(QWidget* field, QLabel* label)
{
    label->setBuddy(field);
    QString name = label->text().trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    field->setAccessibleName(name.trimmed());
}
