#pragma once

#include <QColor>

class QWidget;

// Text must stay readable whatever colour a scheme gives its background:
// a contrast of at least 4.5:1 (the usual minimum for body text).
constexpr double kMinTextContrast = 4.5;

// The contrast ratio of two colours, 1 (same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// `wanted` where it is readable on `background`; otherwise the same hue
// moved towards white (dark background) or black (light one) until it is.
QColor WithContrast(const QColor& wanted, const QColor& background, double minimum = kMinTextContrast);
// What a widget's text stands on: the colour its nearest painted ancestor
// shows (a skinned control's own colour, or a widget's background role).
QColor BackgroundBehind(const QWidget* w);
// `label` keeps its own text colour (the range labels' maroon and blue) as
// long as it reads on what it stands on; a scheme change re-judges it.
void KeepTextContrast(QWidget* label, const QColor& wanted);
