#pragma once

#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbFont.h"

#include <QFont>
#include <QWidget>

#include <functional>

class IColorSchemeHost;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenuBar;
class TRbColorSwatch;
class TRbButton;
class TRbCheckBox;
class TRbPanel;
class TRbProgressBar;
class TRbRadioButton;
class TRbSplitter;
class TRbStyleManager;

// The standard dialogs of the editor, so tests answer them. Empty members
// take the platform's dialogs.
struct TStyleEditorDialogs {
    // The colour dialog, started with the colour; false when cancelled.
    std::function<bool(QWidget* parent, TColor& color)> chooseColor;
    // The font dialog, started with the font; false when cancelled.
    std::function<bool(QWidget* parent, QFont& font)> chooseFont;
    // The open and save dialogs, started in folder with the file name preset;
    // an empty result is a cancel.
    std::function<QString(QWidget* parent, const QString& folder)> openFile;
    std::function<QString(QWidget* parent, const QString& folder, const QString& preset)> saveFile;
    // Starts dragging a swatch (Shift held on a press).
    std::function<void(TRbColorSwatch* swatch)> startDrag;
    // The platform's error box; empty: the host's.
    std::function<void(const QString& text)> errorBox;
};

// The colour-scheme editor "Настройки стиля": swatches, options, fade speed
// and font of a scheme on its own style manager SMgr, a live preview of every
// skinned control, scheme files, and Apply to the whole program.
class TFStyleEditor : public QWidget {
    Q_OBJECT
public:
    explicit TFStyleEditor(IColorSchemeHost& host, TStyleEditorDialogs dialogs = {}, QWidget* parent = nullptr);
    ~TFStyleEditor() override;

    // StylePath while the scheme has edits not saved under a name.
    static QString UserStyleName() { return QStringLiteral("User.rbs"); }

    TRbStyleManager& SMgr() { return *m_smgr; }
    TColor FormColor() const { return m_formColor; }
    QString StylePath() const { return m_stylePath; }
    void SetStylePath(const QString& path) { m_stylePath = path; }
    QString SavedStylePath() const { return m_savedStylePath; }
    bool EditorLoading() const { return m_editorLoading; }
    bool SaveAsDone() const { return m_saveAsDone; }
    TStyleEditorDialogs& Dialogs() { return m_dialogs; }

    // Copies a scheme between two managers through their setters.
    static void CopyStyle(const TRbStyleManager& source, TRbStyleManager& dest);

    bool LoadFromFile(const QString& fileName);
    bool SaveToFile(const QString& fileName);
    void ShowStyle();
    void CollectStyle();
    void UpdateSwatchHints();

    // Event handlers.
    void SwatchMouseDown(TRbColorSwatch* swatch, Qt::KeyboardModifiers modifiers);
    void ShFormColorMouseDown(Qt::KeyboardModifiers modifiers);
    bool SwatchDragOver(TRbColorSwatch* target, TRbColorSwatch* source) const;
    bool ShFormColorDragOver(TRbColorSwatch* source);
    void SwatchDragDrop(TRbColorSwatch* target, TRbColorSwatch* source);
    void CHShowFocusRectClick();
    void CBFadeSpeedChange();
    void BFontClick();
    void btnOkClick();
    void btnCancelClick();
    void btnApplyClick();
    void actOpenExecute();
    void actSaveExecute();
    void actSaveAsExecute();
    void actAppCloseExecute();
    void actCloseExecute();

    // Every swatch, in the order of the window.
    QList<TRbColorSwatch*> Swatches() const;
    TRbColorSwatch* SwatchByName(const QString& name) const;

    static constexpr int kClientWidth = 505;
    static constexpr int kClientHeight = 372;

    TRbColorSwatch *EDefaultFrom, *EDefaultTo, *EOverFrom, *EOverTo, *EClickedFrom, *EClickedTo;
    TRbColorSwatch *ShFormColor, *EHotTrack, *ETextShadow, *EBorderColor, *ECheckColor;
    TRbColorSwatch *EInnerColor, *EPanelBorderColor;
    TRbColorSwatch *ESplitterDefaultFrom, *ESplitterDefaultTo, *ESplitterOverFrom, *ESplitterOverTo;
    QCheckBox *CHShowFocusRect, *CHGradientBorder, *CHHotTrack, *CHTextShadow;
    QComboBox* CBFadeSpeed;
    TRbButton* RbButton3; // "Шрифт"
    TRbPanel *RbPanel1, *RbPanel2, *RbPanel3, *RbPanel4;
    TRbRadioButton *RbRadioButton1, *RbRadioButton2;
    TRbCheckBox *RbCheckBox1, *RbCheckBox2;
    TRbSplitter* RbSplitter1;
    TRbButton *RbButton1, *RbButton2;
    TRbProgressBar* RbProgressBar1;
    TRbButton *btnOk, *btnCancel, *btnApply;
    QMenuBar* MenuBar;
    QAction *actOpen, *actSave, *actSaveAs, *actAppClose, *actClose;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void CreateControls();
    void CreatePreview();
    void CreateButtons();
    void CreateMenu();
    TRbColorSwatch* MakeSwatch(const QString& name, const QString& label, int x, int y, int labelWidth);
    void FormCreate();
    void FormShow();
    void FormClose();
    void SetSwatch(TRbColorSwatch* swatch, TColor c);
    void SetWindowColor(TColor c);
    void ShowError(const QString& text);
    void TakeAppliedSchemeName();
    QString SchemeFolder() const;

    IColorSchemeHost& m_host;
    TStyleEditorDialogs m_dialogs;
    TRbStyleManager* m_smgr;
    TRbFont m_dialogFont; // the font dialog's font
    TColor m_formColor = clBtnFace;
    QString m_stylePath;
    QString m_savedStylePath;
    bool m_editorLoading = false;
    bool m_saveAsDone = false;
    bool m_showing = false; // ShowStyle fills the controls
    bool m_closing = false;
};
