#include "app/SchemeLook.h"

#include "app/ErrorBox.h"
#include "app/ProgSettings.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbStyleManager.h"

#include <QCoreApplication>

TSchemeLook::TSchemeLook(QWidget* window, TProgSettings& settings, TStyleEditorDialogs dialogs)
    : QObject(window)
    , m_window(window)
    , m_settings(settings)
    , m_dialogs(std::move(dialogs))
    , m_styleManager(new TRbStyleManager(window))
{
    m_styleManager->setObjectName(QStringLiteral("RbStyleManager"));
    m_styleManager->SetMainWindowValues();
}

void TSchemeLook::ShowPlatformError(const QString& text)
{
    if (ErrorBox)
        ErrorBox(text);
    else
        ShowErrorBox(m_window, QCoreApplication::applicationName(), text);
}

bool TSchemeLook::LoadColorScheme(const QString& path, QString* error)
{
    return ::LoadColorScheme(*this, path, error);
}

void TSchemeLook::ApplySchemeColors()
{
    ::ApplySchemeColors(*this);
}

void TSchemeLook::SetSchemeFileName(const QString& fileName)
{
    m_settings.ColorShema = fileName;
}

QString TSchemeLook::ProgramDir() const
{
    return m_settings.ProgDir;
}

void TSchemeLook::CreateStyleEditor()
{
    // The newest editor is the one actColors shows; an older one goes once
    // whatever it is doing (its own closing may have asked for this one).
    // Without one yet, it is made when first shown: it takes the program's
    // scheme whenever it is shown, so nobody sees the difference, and the
    // start-up does not build a window it does not show.
    if (!m_styleEditor)
        return;
    m_styleEditor->deleteLater();
    m_styleEditor = nullptr;
    EnsureStyleEditor();
}

TFStyleEditor* TSchemeLook::EnsureStyleEditor()
{
    if (!m_styleEditor) {
        m_styleEditor = new TFStyleEditor(*this, m_dialogs, m_window);
        if (!m_editorStylePath.isNull())
            m_styleEditor->SetStylePath(m_editorStylePath);
    }
    return m_styleEditor;
}

void TSchemeLook::SetEditorStylePath(const QString& path)
{
    m_editorStylePath = path;
    if (m_styleEditor)
        m_styleEditor->SetStylePath(path);
}

void TSchemeLook::AdoptSchemeLook(QWidget* window)
{
    AdoptSchemeLook(window, window->findChildren<TRbCustomControl*>(), {});
}

void TSchemeLook::AdoptSchemeLook(QWidget* window, const QList<TRbCustomControl*>& styled,
                                  const QList<QWidget*>& workArea)
{
    for (TRbCustomControl* c : styled)
        c->SetRbStyleManager(m_styleManager);
    m_styleManager->ApplyStyle();
    AddSchemeColorWidget(window);
    for (QWidget* w : workArea)
        AddSchemeColorWidget(w);
    ApplySchemeColors();
}

void TSchemeLook::AddSchemeColorWidget(QWidget* widget)
{
    if (widget && !m_schemeWidgets.contains(widget))
        m_schemeWidgets << widget;
}

void TSchemeLook::AddSchemeProgressBar(TRbProgressBar* bar)
{
    if (bar && !m_schemeBars.contains(bar))
        m_schemeBars << bar;
}

QList<QWidget*> TSchemeLook::SchemeColorWidgets()
{
    QList<QWidget*> widgets = WindowWidgets ? WindowWidgets() : QList<QWidget*>();
    for (const QPointer<QWidget>& w : m_schemeWidgets) {
        if (w)
            widgets << w.data();
    }
    return widgets;
}

QList<TRbProgressBar*> TSchemeLook::SchemeProgressBars()
{
    QList<TRbProgressBar*> bars;
    for (const QPointer<TRbProgressBar>& b : m_schemeBars) {
        if (b)
            bars << b.data();
    }
    return bars;
}
