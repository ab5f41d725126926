// The editor's routines and event handlers.
#include "rbcontrols/RbStyleEditor.h"

#include "rbcontrols/ColorScheme.h"
#include "rbcontrols/RbStyleEditorDialogs.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbColorSwatch.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbStyleManager.h"

#include "common/IniFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSignalBlocker>

namespace {

const QString kOther = QStringLiteral("Other");
const QString kFormColor = QStringLiteral("FormColor");

} // namespace

// ---------------------------------------------------------------- copying and files

void TFStyleEditor::CopyStyle(const TRbStyleManager& source, TRbStyleManager& dest)
{
    CopySchemeProperties(source, dest);
}

bool TFStyleEditor::LoadFromFile(const QString& fileName)
{
    QString error;
    if (!m_smgr->LoadStyle(fileName, &error)) {
        ShowError(error);
        return false;
    }
    m_formColor = TIniFile(fileName).readInteger(kOther, kFormColor, 0);
    ShFormColor->SetColor(m_formColor);
    return true;
}

bool TFStyleEditor::SaveToFile(const QString& fileName)
{
    QString error;
    if (!m_smgr->SaveStyle(fileName, &error)) {
        ShowError(error);
        return false;
    }
    TIniFile ini(fileName);
    ini.writeInteger(kOther, kFormColor, m_formColor);
    if (!ini.save()) {
        ShowError(QStringLiteral("Unable to write to %1").arg(fileName));
        return false;
    }
    return true;
}

QString TFStyleEditor::SchemeFolder() const
{
    const QString folder = UserSchemeFolder(m_host.ProgramDir());
    QDir().mkpath(folder);
    return folder;
}

void TFStyleEditor::ShowError(const QString& text)
{
    if (m_dialogs.errorBox)
        m_dialogs.errorBox(text);
    else
        m_host.ShowSchemeError(text);
}

// ---------------------------------------------------------------- showing and collecting

void TFStyleEditor::SetSwatch(TRbColorSwatch* swatch, TColor c)
{
    swatch->SetColor(c);
    swatch->setToolTip(ColorHintName(c));
}

void TFStyleEditor::SetWindowColor(TColor c)
{
    SetSchemeColor(this, c);
    SetSchemeColor(MenuBar, c);
}

void TFStyleEditor::ShowStyle()
{
    m_showing = true;
    const TRbStyleManager& m = *m_smgr;
    EDefaultFrom->SetColor(m.Colors().DefaultFrom());
    EDefaultTo->SetColor(m.Colors().DefaultTo());
    EOverFrom->SetColor(m.Colors().OverFrom());
    EOverTo->SetColor(m.Colors().OverTo());
    EClickedFrom->SetColor(m.Colors().ClickedFrom());
    EClickedTo->SetColor(m.Colors().ClickedTo());
    EHotTrack->SetColor(m.Colors().HotTrack());
    ETextShadow->SetColor(m.Colors().TextShadow());
    EBorderColor->SetColor(m.Colors().BorderColor());
    ECheckColor->SetColor(m.CheckColor());
    EInnerColor->SetColor(m.PanelColor());
    EPanelBorderColor->SetColor(m.BorderColor());
    ESplitterDefaultFrom->SetColor(m.SplitterColors().DefaultFrom());
    ESplitterDefaultTo->SetColor(m.SplitterColors().DefaultTo());
    ESplitterOverFrom->SetColor(m.SplitterColors().OverFrom());
    ESplitterOverTo->SetColor(m.SplitterColors().OverTo());
    CBFadeSpeed->setCurrentIndex(int(m.FadeSpeed()));
    m_dialogFont.Assign(m.Font());
    CHGradientBorder->setChecked(m.GradientBorder());
    CHHotTrack->setChecked(m.HotTrack());
    CHTextShadow->setChecked(m.TextShadow());
    CHShowFocusRect->setChecked(m.ShowFocusRect());
    ShFormColor->SetColor(m_formColor);
    SetWindowColor(m_formColor);
    m_showing = false;
    m_smgr->ApplyStyle();
}

void TFStyleEditor::CollectStyle()
{
    if (m_editorLoading)
        return;
    TRbStyleManager& m = *m_smgr;
    m.Colors().SetDefaultFrom(EDefaultFrom->Color());
    m.Colors().SetDefaultTo(EDefaultTo->Color());
    m.Colors().SetOverFrom(EOverFrom->Color());
    m.Colors().SetOverTo(EOverTo->Color());
    m.Colors().SetClickedFrom(EClickedFrom->Color());
    m.Colors().SetClickedTo(EClickedTo->Color());
    m.Colors().SetHotTrack(EHotTrack->Color());
    m.Colors().SetTextShadow(ETextShadow->Color());
    m.Colors().SetBorderColor(EBorderColor->Color());
    m.SetCheckColor(ECheckColor->Color());
    m.SetPanelColor(EInnerColor->Color());
    m.SetBorderColor(EPanelBorderColor->Color());
    m.SplitterColors().SetDefaultFrom(ESplitterDefaultFrom->Color());
    m.SplitterColors().SetDefaultTo(ESplitterDefaultTo->Color());
    m.SplitterColors().SetOverFrom(ESplitterOverFrom->Color());
    m.SplitterColors().SetOverTo(ESplitterOverTo->Color());
    m.SetFadeSpeed(TFadeSpeed(std::clamp(CBFadeSpeed->currentIndex(), 0, 3)));
    m.Font().Assign(m_dialogFont);
    m.SetGradientBorder(CHGradientBorder->isChecked());
    m.SetHotTrack(CHHotTrack->isChecked());
    m.SetTextShadow(CHTextShadow->isChecked());
    m.SetShowFocusRect(CHShowFocusRect->isChecked());
    m_formColor = ShFormColor->Color();
    m.ApplyStyle();
}

void TFStyleEditor::UpdateSwatchHints()
{
    for (TRbColorSwatch* s : Swatches())
        s->setToolTip(ColorHintName(s->Color()));
}

// ---------------------------------------------------------------- opening and closing

void TFStyleEditor::FormCreate()
{
    m_editorLoading = false;
    CopyStyle(m_host.StyleManager(), *m_smgr);
    m_formColor = m_host.FormColor();
    ShowStyle();
    UpdateSwatchHints();
}

void TFStyleEditor::FormShow()
{
    CopyStyle(m_host.StyleManager(), *m_smgr);
    m_formColor = m_host.FormColor();
    ShowStyle();
    UpdateSwatchHints();
    m_savedStylePath = m_stylePath;
}

void TFStyleEditor::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TFStyleEditor::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TFStyleEditor::closeEvent(QCloseEvent* e)
{
    // Cancel closes the window from inside the closing; that runs once.
    if (!m_closing) {
        m_closing = true;
        FormClose();
        m_closing = false;
    }
    e->accept();
}

void TFStyleEditor::FormClose()
{
    if (m_stylePath == UserStyleName()) {
        actSaveAsExecute();
        if (!m_saveAsDone) {
            btnCancelClick();
            QString error;
            if (!::LoadColorScheme(m_host, m_stylePath, &error))
                ShowError(error);
            return; // the reload has named the scheme in the settings
        }
    }
    // Taken after the Save As, so the settings name a file that exists.
    if (m_host.SettingsWindowExists())
        m_host.SetSchemeFileName(SchemeSettingName(m_stylePath, m_host.ProgramDir()));
}

void TFStyleEditor::actCloseExecute()
{
    hide();
}

void TFStyleEditor::actAppCloseExecute()
{
    btnApplyClick();
    hide();
}

// ---------------------------------------------------------------- swatches

void TFStyleEditor::SwatchMouseDown(TRbColorSwatch* swatch, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier) {
        if (m_dialogs.startDrag)
            m_dialogs.startDrag(swatch);
        else
            DefaultStartDrag(swatch);
        return;
    }
    TColor c = swatch->Color();
    if (!(m_dialogs.chooseColor ? m_dialogs.chooseColor(this, c) : DefaultChooseColor(this, c)))
        return;
    SetSwatch(swatch, c);
    CollectStyle();
    m_stylePath = UserStyleName();
}

void TFStyleEditor::ShFormColorMouseDown(Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier) {
        SwatchMouseDown(ShFormColor, modifiers);
        return;
    }
    TColor c = ShFormColor->Color();
    if (!(m_dialogs.chooseColor ? m_dialogs.chooseColor(this, c) : DefaultChooseColor(this, c)))
        return;
    SetSwatch(ShFormColor, c);
    m_formColor = c;
    m_stylePath = UserStyleName();
    CollectStyle();
    ShowStyle();
}

bool TFStyleEditor::SwatchDragOver(TRbColorSwatch* target, TRbColorSwatch* source) const
{
    return source && target && source != target;
}

bool TFStyleEditor::ShFormColorDragOver(TRbColorSwatch* source)
{
    if (!SwatchDragOver(ShFormColor, source))
        return false;
    SetSwatch(ShFormColor, source->Color());
    m_formColor = source->Color();
    m_stylePath = UserStyleName();
    CollectStyle();
    return true;
}

void TFStyleEditor::SwatchDragDrop(TRbColorSwatch* target, TRbColorSwatch* source)
{
    if (!SwatchDragOver(target, source))
        return;
    SetSwatch(target, source->Color());
    m_stylePath = UserStyleName();
    CollectStyle();
}

// ---------------------------------------------------------------- options and font

void TFStyleEditor::CHShowFocusRectClick()
{
    CollectStyle();
}

void TFStyleEditor::CBFadeSpeedChange()
{
    CollectStyle();
}

void TFStyleEditor::BFontClick()
{
    QFont font = m_smgr->Font().ToQFont();
    if (!(m_dialogs.chooseFont ? m_dialogs.chooseFont(this, font) : DefaultChooseFont(this, font)))
        return;
    TRbFont chosen;
    chosen.Assign(m_smgr->Font());
    TakeDialogFont(chosen, font);
    m_smgr->Font().Assign(chosen);
    m_dialogFont.Assign(chosen);
    m_stylePath = UserStyleName();
    CollectStyle();
}

// ---------------------------------------------------------------- applying

void TFStyleEditor::btnApplyClick()
{
    TRbStyleManager& main = m_host.StyleManager();
    CopyStyle(*m_smgr, main);
    main.ApplyStyle();
    m_host.SetFormColor(m_formColor);
    ::ApplySchemeColors(m_host);
    TakeAppliedSchemeName();
}

// The applied scheme is the one the next start loads: unsaved edits go to
// "User.rbs" in the user's scheme folder, where the start-up finds it.
void TFStyleEditor::TakeAppliedSchemeName()
{
    if (m_stylePath == UserStyleName()) {
        if (SaveToFile(SchemeFolder() + QLatin1Char('/') + UserStyleName()))
            m_host.SetSchemeFileName(UserStyleName());
        return;
    }
    if (QFileInfo(m_stylePath).isFile())
        m_host.SetSchemeFileName(SchemeSettingName(m_stylePath, m_host.ProgramDir()));
}

void TFStyleEditor::btnOkClick()
{
    btnApplyClick();
    close();
}

void TFStyleEditor::btnCancelClick()
{
    CopyStyle(m_host.StyleManager(), *m_smgr);
    m_smgr->ApplyStyle();
    m_formColor = m_host.FormColor();
    ShowStyle();
    UpdateSwatchHints();
    m_stylePath = m_savedStylePath;
    m_host.EnsureSettingsWindow();
    close();
}

// ---------------------------------------------------------------- files

void TFStyleEditor::actOpenExecute()
{
    const QString folder = SchemeFolder();
    const QString file = m_dialogs.openFile ? m_dialogs.openFile(this, folder)
                                            : RunSchemeFileDialog(this, true, QStringLiteral("Open a style"), folder, QString());
    if (file.isEmpty())
        return;
    m_editorLoading = true;
    if (LoadFromFile(file)) {
        m_stylePath = file;
        ShowStyle();
    }
    m_editorLoading = false;
}

void TFStyleEditor::actSaveExecute()
{
    if (m_stylePath != UserStyleName())
        SaveToFile(m_stylePath);
    else
        actSaveAsExecute();
}

void TFStyleEditor::actSaveAsExecute()
{
    const QString folder = SchemeFolder();
    const QString preset = m_stylePath.contains(QLatin1Char('/')) ? m_stylePath : folder + QLatin1Char('/') + m_stylePath;
    const QString file = m_dialogs.saveFile ? m_dialogs.saveFile(this, folder, preset)
                                            : RunSchemeFileDialog(this, false, QString(), folder, preset);
    m_saveAsDone = false;
    if (file.isEmpty())
        return;
    if (!SaveToFile(file))
        return;
    m_stylePath = file;
    m_saveAsDone = true;
}
