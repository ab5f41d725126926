#pragma once

class QCoreApplication;
class QLocale;

// Loads Qt's own translations (the file, colour and font dialogs, the
// standard buttons) for `locale` and installs them; false when the system
// has none for it, and Qt speaks English.
bool InstallQtTranslations(QCoreApplication& app, const QLocale& locale);
