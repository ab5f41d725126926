#include "rbcontrols/ColorScheme.h"

#include "rbcontrols/RbCustomControl.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbSplitter.h"
#include "rbcontrols/RbStyleManager.h"

#include "common/IniFile.h"
#include "common/SchemeFolders.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>

QString IColorSchemeHost::ProgramDir() const
{
    return ProgramFolder();
}


bool LoadColorScheme(IColorSchemeHost& host, const QString& path, QString* error)
{
    const QString file = ColorSchemeFile(path, host.ProgramDir());
    TRbStyleManager& manager = host.StyleManager();
    if (!manager.LoadStyle(file, error))
        return false;
    manager.ApplyStyle();
    host.CreateStyleEditor();
    host.SetFormColor(TIniFile(file).readInteger(QStringLiteral("Other"), QStringLiteral("FormColor"), 0));
    const QString name = SchemeSettingName(file, host.ProgramDir());
    host.SetSchemeFileName(name);
    host.SetEditorStylePath(ColorSchemeFile(name, host.ProgramDir()));
    // The built-in scheme keeps the platform's face colour, whatever it says.
    if (file.contains(QLatin1String("Standart")))
        host.SetFormColor(clBtnFace);
    ApplySchemeColors(host);
    return true;
}

bool IsDarkColor(TColor c)
{
    const TRgb rgb = ResolveColor(c);
    return 299 * rgb.r + 587 * rgb.g + 114 * rgb.b < 128 * 1000;
}

QColor ReadableTextColor(TColor background)
{
    return IsDarkColor(background) ? QColor(Qt::white) : QGuiApplication::palette().color(QPalette::WindowText);
}

void SetSchemeColor(QWidget* w, TColor c)
{
    if (!w)
        return;
    if (auto* skinned = qobject_cast<TRbCustomControl*>(w)) {
        skinned->SetColor(c);
        // A control the scheme does not style keeps its font, unless the
        // work area is too dark to read it on.
        if (!skinned->RbStyleManager()) {
            if (IsDarkColor(c))
                skinned->Font().SetColor(clWhite);
            else if (skinned->Font().Color() == clWhite)
                skinned->Font().SetColor(clWindowText);
        }
        return;
    }
    if (auto* splitter = qobject_cast<TRbSplitter*>(w)) {
        splitter->SetColor(c);
        return;
    }
    const bool textField = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w)
        || qobject_cast<QComboBox*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)
        || qobject_cast<QAbstractItemView*>(w);
    QPalette pal = w->palette();
    const QColor q = ToQColor(c);
    // Only the work area takes the colour: the Button role would reach the
    // standard controls inside (spin box arrows turn black on a dark scheme).
    if (textField) {
        pal.setColor(QPalette::Base, q);
    } else {
        pal.setColor(QPalette::Window, q);
        // The tabs keep the style's own light face, and with it their text.
        if (!qobject_cast<QTabWidget*>(w))
            pal.setColor(QPalette::WindowText, ReadableTextColor(c));
        // The menu bar writes its items in the button text colour.
        if (qobject_cast<QMenuBar*>(w))
            pal.setColor(QPalette::ButtonText, ReadableTextColor(c));
        if (!w->isWindow())
            w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
    if (!textField) {
        // Spin boxes and lists keep the style's light face: their arrows
        // must keep its dark text, not the light one of a dark work area.
        const QPalette standard = QGuiApplication::palette();
        for (QWidget* box : w->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractSpinBox*>(box) && !qobject_cast<QComboBox*>(box))
                continue;
            QPalette bp = box->palette();
            bp.setColor(QPalette::WindowText, standard.color(QPalette::WindowText));
            bp.setColor(QPalette::ButtonText, standard.color(QPalette::ButtonText));
            box->setPalette(bp);
        }
    }
    // The style paints a tab widget's pane in a shade of its own; the pages
    // paint the work area themselves, so panels on them know what lies behind.
    if (auto* tabs = qobject_cast<QTabWidget*>(w))
        for (int i = 0; i < tabs->count(); ++i)
            SetSchemeColor(tabs->widget(i), c);
}

void ApplySchemeColors(IColorSchemeHost& host)
{
    const TColor c = host.FormColor();
    for (QWidget* w : host.SchemeColorWidgets())
        SetSchemeColor(w, c);
    TRbStyleManager& manager = host.StyleManager();
    for (TRbProgressBar* bar : host.SchemeProgressBars()) {
        if (!bar)
            continue;
        bar->SetDefaultFrom(manager.Colors().OverFrom());
        bar->SetDefaultTo(manager.Colors().OverTo());
    }
    manager.ApplyStyle();
}
