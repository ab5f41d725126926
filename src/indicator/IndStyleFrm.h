#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include "indicator/IndStyle.h"

class QComboBox;
class QLabel;
class QMenuBar;
class TRbButton;
class QSpinBox;
class TColorSwatch;
class TLiquidIndicator;

// "Стиль индикаторов": edits the look of the three indicators live, with a
// preview, and saves or loads the style of the one being edited.
class TfrmIndStyle : public QDialog {
    Q_OBJECT
public:
    TfrmIndStyle(TLiquidIndicator* indT, TLiquidIndicator* indR, TLiquidIndicator* indCalibrDate,
                 QWidget* parent = nullptr);

    // Seams for the standard dialogs; the defaults show Qt's own.
    // The colour chooser: the chosen colour, or nothing when cancelled.
    std::function<std::optional<TColor>(TColor initial)> ChooseColor;
    // The open and save dialogs: a file name, or empty when cancelled.
    std::function<QString(const QString& folder, const QString& filter)> ChooseOpenFile;
    std::function<QString(const QString& folder, const QString& filter)> ChooseSaveFile;
    // Shows a failure to the user.
    std::function<void(const QString&)> ShowError;
    // Where the open dialog starts.
    QString StyleFolder;

    static const QString FileFilter;

    // Showing the dialog: "T", fresh snapshots of the three indicators.
    void ShowDialog();
    // Choosing a cbInd item (0 "T", 1 "R", 2 "T и R", 3 the calibration date).
    void SelectIndicator(int item);
    // The lists, swatches and gap field as the preview has it; after the
    // first time they follow the preview's change signals.
    void ShowStyleControls();

    void cbColorShemeChange(int item);
    void cbIndKindChange(int item);
    void cbIndStyleChange(int item);
    void rseIndGrapChange(int value);
    void SwatchClick(TColorSwatch* swatch);
    void btnOkClick();
    void btnCancelClick();
    void CM_OpenClick();
    void CM_SaveClick();

    int Selected() const { return m_selected; }
    int Second() const { return m_second; }

    QMenuBar* MainMenu;
    QWidget* Panel1;
    QComboBox* cbInd;
    TLiquidIndicator* Ind;
    QComboBox* cbColorSheme;
    TColorSwatch* ShNumForeColor;
    TColorSwatch* shNumBackColor;
    TColorSwatch* shBackColor;
    TColorSwatch* shBevelColor;
    QComboBox* cbIndKind;
    QComboBox* cbIndStyle;
    QSpinBox* rseIndGrap;
    TRbButton* btnOk;     // skinned: the main window registers both with its style manager
    TRbButton* btnCancel;
    QAction* CM_Open;
    QAction* CM_Save;

    // List items and values, both ways.
    static TLiquidColorScheme SchemeOfItem(int item);
    static int ItemOfScheme(TLiquidColorScheme scheme);
    static TLiquidIndicatorStyle StyleOfItem(int item);
    static int ItemOfStyle(TLiquidIndicatorStyle style);

public slots:
    void reject() override; // Esc: as "Отмена"

protected:
    void closeEvent(QCloseEvent* e) override; // the close box: as "Ок"
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    TLiquidIndicator* Indicator(int number) const;
    // A change goes to the preview, the selected indicator and the second one.
    template <typename Apply>
    void ApplyToAll(Apply apply);
    void FlushRebuilds();
    void ShowScheme();
    void ShowColors();
    void ShowKind();
    void ShowThickness();
    void ShowGap();

    TLiquidIndicator* m_ind[3];
    int m_selected = 1;
    int m_second = 0;
    TIndStyleData m_snapshots[3];
};
