#pragma once

#include "rbcontrols/RbColors.h"

#include "common/SchemeFolders.h"

#include <QList>
#include <QString>

class QWidget;
class TRbProgressBar;
class TRbStyleManager;

// The main window's side of loading and showing a colour scheme. The main
// window implements it; the operations below hold the order of the steps.
class IColorSchemeHost {
public:
    virtual ~IColorSchemeHost() = default;

    // The manager that styles the application.
    virtual TRbStyleManager& StyleManager() = 0;
    // The work-area colour: the main window's own Color.
    virtual TColor FormColor() const = 0;
    virtual void SetFormColor(TColor c) = 0;
    // The scheme's file name (no folder); the settings save it at exit.
    virtual void SetSchemeFileName(const QString& fileName) = 0;
    // Makes the hidden scheme editor anew; it copies the manager's scheme.
    virtual void CreateStyleEditor() {}
    // Where the editor saves and reloads the scheme.
    virtual void SetEditorStylePath(const QString& path) { (void)path; }
    // Every widget that takes the work-area colour now: the main window's
    // menu bar, toolbar, page control, status bar and edPLType, and the
    // windows (and their listed controls) that exist at this moment.
    virtual QList<QWidget*> SchemeColorWidgets() = 0;
    // Progress bars that take the manager's hover colours as their gradient
    // (the search-progress window's, when it exists).
    virtual QList<TRbProgressBar*> SchemeProgressBars() { return {}; }
    // The folder of the program, where "ColorSchemas" lies beside it.
    virtual QString ProgramDir() const;
    // The settings window: the editor's closing consults it, its Cancel makes it.
    virtual bool SettingsWindowExists() const { return false; }
    virtual void EnsureSettingsWindow() {}
    // The platform's standard error box.
    virtual void ShowSchemeError(const QString& text) { (void)text; }
};

// Loads the scheme, applies it and gives the windows its work-area colour.
// path is a scheme file, or a bare file name looked up with ColorSchemeFile.
// On failure (missing or empty file, a bad value) nothing but the values
// read before the bad one has changed and *error holds the message to show.
bool LoadColorScheme(IColorSchemeHost& host, const QString& path, QString* error = nullptr);

// Gives every widget of the host the work-area colour, the listed progress
// bars the manager's hover gradient, and applies the manager's scheme.
void ApplySchemeColors(IColorSchemeHost& host);

// True for a background on which the usual dark text cannot be read.
bool IsDarkColor(TColor c);
// The text colour for labels on a background of colour c.
QColor ReadableTextColor(TColor background);

// A skinned control (or splitter) takes c as its Color; any other widget as
// its background (the text background of edits and lists).
void SetSchemeColor(QWidget* w, TColor c);
