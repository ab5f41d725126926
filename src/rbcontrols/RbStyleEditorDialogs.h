#pragma once

#include "rbcontrols/RbFont.h"

#include <QFont>
#include <QString>

class QWidget;
class TRbColorSwatch;

// What the font dialog gives back; colour and character set stay as they were.
void TakeDialogFont(TRbFont& f, const QFont& q);
// The colour, font and file dialogs of the platform; false or an empty name
// when cancelled.
bool DefaultChooseColor(QWidget* parent, TColor& color);
bool DefaultChooseFont(QWidget* parent, QFont& font);
QString RunSchemeFileDialog(QWidget* parent, bool open, const QString& title, const QString& folder,
                            const QString& preset);
// Drags a swatch (its object name) until it is dropped.
void DefaultStartDrag(TRbColorSwatch* swatch);
