#pragma once

#include <QPointer>

class ILookServices;
class IMessageDialog;
class QWidget;
class TDiagnosticPage;
class TfrmIndStyle;
class TIniFile;
struct TProgSettings;

// The styles of the diagnostics page's three indicators: read from the
// settings file at start-up, written to it at close, edited in their dialog.
class TIndicatorStyles {
public:
    TIndicatorStyles(TDiagnosticPage& page, TProgSettings& settings, ILookServices& look, IMessageDialog& messages,
                     QWidget* window);

    void Apply();
    void Write(TIniFile& ini) const;
    void ShowDialog();

private:
    // Created once and kept with the window.
    TfrmIndStyle* Dialog();

    TDiagnosticPage& m_page;
    TProgSettings& m_settings;
    ILookServices& m_look;
    IMessageDialog& m_messages;
    QWidget* m_window;
    QPointer<TfrmIndStyle> m_dialog;
};
