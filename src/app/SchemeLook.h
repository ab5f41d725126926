#pragma once

#include "app/LookServices.h"
#include "rbcontrols/ColorScheme.h"
#include "rbcontrols/RbStyleEditor.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class TRbStyleManager;
struct TProgSettings;

// The program's colour scheme: the style manager of every skinned control,
// the work-area colour and the windows that take it, the search's progress
// bars, and the scheme editor.
class TSchemeLook : public QObject, public ILookServices, public IColorSchemeHost {
    Q_OBJECT
public:
    // `window` owns the manager, the editor and the error boxes.
    TSchemeLook(QWidget* window, TProgSettings& settings, TStyleEditorDialogs dialogs);

    // The platform's error box; default: a box over the window.
    std::function<void(const QString&)> ErrorBox;
    // The window's own widgets that take the work-area colour, listed first.
    std::function<QList<QWidget*>()> WindowWidgets;
    // The settings window: the editor's closing consults it, its Cancel asks
    // for it through settingsWindowWanted.
    std::function<bool()> SettingsWindowShown;

    bool LoadColorScheme(const QString& path, QString* error);
    void ApplySchemeColors();
    // A window (or control) that takes the work-area colour from now on.
    void AddSchemeColorWidget(QWidget* widget);
    void AddSchemeProgressBar(TRbProgressBar* bar);
    // The colour-scheme editor, made on first use.
    TFStyleEditor* EnsureStyleEditor();
    TFStyleEditor* StyleEditor() const { return m_styleEditor; }

    // ILookServices
    void ShowPlatformError(const QString& text) override;
    void AdoptSchemeLook(QWidget* window) override;
    void AdoptSchemeLook(QWidget* window, const QList<TRbCustomControl*>& styled,
                         const QList<QWidget*>& workArea) override;

    // IColorSchemeHost
    TRbStyleManager& StyleManager() override { return *m_styleManager; }
    TColor FormColor() const override { return m_formColor; }
    void SetFormColor(TColor c) override { m_formColor = c; }
    void SetSchemeFileName(const QString& fileName) override;
    QList<QWidget*> SchemeColorWidgets() override;
    QList<TRbProgressBar*> SchemeProgressBars() override;
    void CreateStyleEditor() override;
    void SetEditorStylePath(const QString& path) override;
    QString ProgramDir() const override;
    bool SettingsWindowExists() const override { return SettingsWindowShown && SettingsWindowShown(); }
    void EnsureSettingsWindow() override { emit settingsWindowWanted(); }
    void ShowSchemeError(const QString& text) override { ShowPlatformError(text); }

signals:
    void settingsWindowWanted();

private:
    QWidget* m_window;
    TProgSettings& m_settings;
    TStyleEditorDialogs m_dialogs;
    TRbStyleManager* m_styleManager;
    QPointer<TFStyleEditor> m_styleEditor;
    QString m_editorStylePath; // for an editor made later
    TColor m_formColor = clBtnFace;
    QList<QPointer<QWidget>> m_schemeWidgets;
    QList<QPointer<TRbProgressBar>> m_schemeBars;
};
