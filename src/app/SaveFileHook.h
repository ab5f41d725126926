#pragma once

#include <QString>

#include <functional>

class QWidget;

// Asks for the name of a file to write; empty when the user cancelled.
// Windows keep one of these so tests can answer instead of a person.
using TSaveFileNameHook = std::function<QString(QWidget* parent, const QString& caption, const QString& suggested,
                                                const QString& filter)>;

// The platform's save dialog.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& suggested, const QString& filter);

// The name as the user gave it, with ".suffix" added when it has no suffix
// of its own (as the configuration profiles get theirs).
QString WithDefaultSuffix(const QString& path, const QString& suffix);
