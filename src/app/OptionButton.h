#pragma once

#include "rbcontrols/RbRadioButton.h"

#include <QColor>
#include <QFontMetrics>

// The radio buttons of the configuration page and the settings dialog:
// skinned, exclusive among the radio buttons of one parent.
using TOptionButton = TRbRadioButton;

// Sized to its caption, so layouts give it room.
inline TOptionButton* MakeOption(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new TOptionButton(parent);
    b->setObjectName(name);
    b->SetCaption(caption);
    const int text = QFontMetrics(b->Font().ToQFont()).horizontalAdvance(caption);
    b->setMinimumSize(b->CircleSize() + b->Spacing() + text + 8, 17);
    return b;
}

inline bool OptionChecked(const TOptionButton* b)
{
    return b->Checked();
}

// Checks or unchecks without running the click handler; a group can show
// no choice at all.
inline void SetOptionChecked(TOptionButton* b, bool on)
{
    b->SetChecked(on);
}

// The user's click: the click handler, then the check mark (as the mouse
// release gives them). A disabled option does nothing.
inline void ClickOption(TOptionButton* b)
{
    if (!b->isEnabled())
        return;
    b->Click();
    b->SetChecked(true);
}

inline void SetOptionTextColor(TOptionButton* b, const QColor& c)
{
    b->Font().SetColor(FromQColor(c));
}

inline QColor OptionTextColor(const TOptionButton* b)
{
    return ToQColor(b->Font().Color());
}
