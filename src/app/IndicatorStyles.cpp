#include "app/IndicatorStyles.h"

#include "app/DiagnosticPage.h"
#include "app/LookServices.h"
#include "app/ProgSettings.h"
#include "common/IniFile.h"
#include "common/SchemeFolders.h"
#include "indicator/IndStyle.h"
#include "indicator/IndStyleFrm.h"
#include "link/MessageDialog.h"

TIndicatorStyles::TIndicatorStyles(TDiagnosticPage& page, TProgSettings& settings, ILookServices& look,
                                   IMessageDialog& messages, QWidget* window)
    : m_page(page)
    , m_settings(settings)
    , m_look(look)
    , m_messages(messages)
    , m_window(window)
{
}

TfrmIndStyle* TIndicatorStyles::Dialog()
{
    if (m_dialog)
        return m_dialog;
    m_dialog = new TfrmIndStyle(m_page.indT, m_page.indR, m_page.indCalibrDate, m_window);
    m_dialog->StyleFolder = UserSchemeFolder(m_settings.ProgDir);
    m_dialog->ShowError = [this](const QString& text) { m_messages.ShowError(text); };
    // Its buttons look like the message dialog's and follow the scheme.
    m_look.AdoptSchemeLook(m_dialog->Panel1, {m_dialog->btnOk, m_dialog->btnCancel}, {});
    return m_dialog;
}

void TIndicatorStyles::Apply()
{
    Dialog();
    // The file read at start-up; before the first save that may be a read-only copy.
    const QString fileName = m_settings.SourceFileName.isEmpty() ? m_settings.IniFileName : m_settings.SourceFileName;
    // A settings file refused at start is not read again: the styles keep their defaults.
    const TIniFile ini(fileName == m_settings.UnusableFile ? QString() : fileName);
    LoadIndicatorStyles(ini, *m_page.indT, *m_page.indR, *m_page.indCalibrDate);
}

void TIndicatorStyles::Write(TIniFile& ini) const
{
    WriteIndicatorStyles(ini, *m_page.indT, *m_page.indR, *m_page.indCalibrDate);
}

void TIndicatorStyles::ShowDialog()
{
    // After a start-up cut short the dialog is made here, on first use.
    Dialog()->ShowDialog();
}
