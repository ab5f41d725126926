#pragma once

#include <QString>

class QMessageBox;
class QWidget;

// The platform's error box (a colour scheme that does not load).

// Width the window frame needs for `caption`: the text in the title-bar font
// plus the window icon and the three title-bar buttons.
int CaptionRoom(const QMessageBox& box, const QString& caption);
// Widens a message box so its window manager does not cut the caption.
void MakeRoomForCaption(QMessageBox& box);
void ShowErrorBox(QWidget* parent, const QString& caption, const QString& text);
