#include "indicator/IndStyleFrm.h"

#include "rbcontrols/RbButton.h"

#include "indicator/ColorSwatch.h"
#include "indicator/IndicatorPixels.h"
#include "indicator/LiquidIndicator.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>
#include <QVBoxLayout>

const QString TfrmIndStyle::FileFilter =
    QStringLiteral("Файлы стилей индикаторов (*.ind);;Все файлы (*)");

namespace {

// cbColorSheme items in list order.
constexpr TLiquidColorScheme kItemSchemes[] = {csBlack, csSilver, csInvSilver, csPlasma,
                                               csInvPlasma, csVarno, csWhite};
// cbIndStyle items in list order.
constexpr TLiquidIndicatorStyle kItemStyles[] = {isNormal, isThin, isThick};

QLabel* MakeLabel(const QString& text, QWidget* buddy, QWidget* parent, int x, int y, int w = 200)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(x, y, w, 16);
    l->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove(QLatin1Char('&')).remove(QLatin1Char(':')).trimmed());
    return l;
}

QComboBox* MakeList(const QString& name, const QStringList& items, QWidget* parent, int x, int y, int w)
{
    auto* cb = new QComboBox(parent);
    cb->setObjectName(name);
    cb->addItems(items);
    cb->setGeometry(x, y, w, 22);
    return cb;
}

} // namespace

TLiquidColorScheme TfrmIndStyle::SchemeOfItem(int item)
{
    return item >= 0 && item < int(std::size(kItemSchemes)) ? kItemSchemes[item] : csSilver;
}

int TfrmIndStyle::ItemOfScheme(TLiquidColorScheme scheme)
{
    for (int i = 0; i < int(std::size(kItemSchemes)); ++i)
        if (kItemSchemes[i] == scheme)
            return i;
    return -1;
}

TLiquidIndicatorStyle TfrmIndStyle::StyleOfItem(int item)
{
    return item >= 0 && item < int(std::size(kItemStyles)) ? kItemStyles[item] : isNormal;
}

int TfrmIndStyle::ItemOfStyle(TLiquidIndicatorStyle style)
{
    for (int i = 0; i < int(std::size(kItemStyles)); ++i)
        if (kItemStyles[i] == style)
            return i;
    return -1;
}

TfrmIndStyle::TfrmIndStyle(TLiquidIndicator* indT, TLiquidIndicator* indR, TLiquidIndicator* indCalibrDate,
                           QWidget* parent)
    : QDialog(parent)
    , m_ind{indT, indR, indCalibrDate}
{
    setObjectName(QStringLiteral("frmIndStyle"));
    setWindowTitle(QStringLiteral("Стиль индикаторов"));
    setModal(false);
    setFixedSize(526, 275);

    MainMenu = new QMenuBar(this);
    MainMenu->setNativeMenuBar(false);
    QMenu* file = MainMenu->addMenu(QStringLiteral("Файл"));
    CM_Open = file->addAction(QStringLiteral("Открыть..."), QKeySequence(Qt::CTRL | Qt::Key_O), this,
                              &TfrmIndStyle::CM_OpenClick);
    CM_Open->setObjectName(QStringLiteral("CM_Open"));
    CM_Save = file->addAction(QStringLiteral("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
                              &TfrmIndStyle::CM_SaveClick);
    CM_Save->setObjectName(QStringLiteral("CM_Save"));
    addAction(CM_Open); // the shortcuts work while the menu is closed
    addAction(CM_Save);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true); // takes the work-area colour of the scheme
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu);
    layout->addWidget(Panel1);

    // Left column: what is edited and the lists.
    cbInd = MakeList(QStringLiteral("cbInd"),
                     {QStringLiteral("T"), QStringLiteral("R"), QStringLiteral("T и R"),
                      QStringLiteral("Дата последней калибровки")},
                     Panel1, 8, 28, 249);
    MakeLabel(QStringLiteral("Индикатор"), cbInd, Panel1, 8, 10);
    cbColorSheme = MakeList(QStringLiteral("cbColorSheme"),
                            {QStringLiteral("Черная"), QStringLiteral("Серебристая"),
                             QStringLiteral("Инвертированная серебристая"), QStringLiteral("Плазма"),
                             QStringLiteral("Инвертированная плазма"), QStringLiteral("Синяя"),
                             QStringLiteral("Белая")},
                            Panel1, 8, 78, 249);
    MakeLabel(QStringLiteral("Цветовая схема:"), cbColorSheme, Panel1, 8, 60);
    cbIndKind = MakeList(QStringLiteral("cbIndKind"), {QStringLiteral("7 сегментов"), QStringLiteral("Матрица 7х9")},
                         Panel1, 8, 128, 249);
    MakeLabel(QStringLiteral("Отображение символов"), cbIndKind, Panel1, 8, 110);
    cbIndStyle = MakeList(QStringLiteral("cbIndStyle"),
                          {QStringLiteral("Нормальные"), QStringLiteral("Тонкие"), QStringLiteral("Толстые")},
                          Panel1, 8, 178, 249);
    MakeLabel(QStringLiteral("Толщина символов"), cbIndStyle, Panel1, 8, 160);

    // Right column: the preview, the colours and the gap.
    Ind = new TLiquidIndicator(Panel1);
    Ind->setObjectName(QStringLiteral("Ind"));
    Ind->SetSignNumber(6);
    Ind->SetIndicatorWidth(209);
    Ind->SetIndicatorHeight(49);
    Ind->SetIndicatorstring("8888");
    Ind->SetNumberForeColor(0x800080);
    Ind->SetIndicatorStyle(isThick);
    Ind->Loaded();
    Ind->move(272, 16);
    Ind->setAccessibleName(QStringLiteral("Образец"));

    const struct {
        TColorSwatch** swatch;
        const char* name;
        QString caption;
    } swatches[] = {
        {&ShNumForeColor, "ShNumForeColor", QStringLiteral("Цвет символов")},
        {&shNumBackColor, "shNumBackColor", QStringLiteral("Цвет неактивных символов")},
        {&shBackColor, "shBackColor", QStringLiteral("Цвет фона")},
        {&shBevelColor, "shBevelColor", QStringLiteral("Цвет рамки")},
    };
    int y = 80;
    for (const auto& s : swatches) {
        auto* sw = new TColorSwatch(Panel1);
        sw->setObjectName(QLatin1String(s.name));
        sw->setGeometry(272, y, 17, 17);
        MakeLabel(s.caption, sw, Panel1, 296, y + 1);
        connect(sw, &TColorSwatch::clicked, this, [this, sw] { SwatchClick(sw); });
        *s.swatch = sw;
        y += 24;
    }

    rseIndGrap = new QSpinBox(Panel1);
    rseIndGrap->setObjectName(QStringLiteral("rseIndGrap"));
    rseIndGrap->setRange(0, 7);
    rseIndGrap->setGeometry(336, 178, 50, 22);
    rseIndGrap->installEventFilter(this);
    MakeLabel(QStringLiteral("Просвет"), rseIndGrap, Panel1, 272, 181, 60);
    auto* unit = new QLabel(QStringLiteral("пт."), Panel1);
    unit->setGeometry(392, 181, 30, 16);

    btnOk = new TRbButton(Panel1);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->SetCaption(QStringLiteral("Ок"));
    btnOk->setGeometry(336, 216, 82, 25);
    btnOk->SetDefault(true);
    btnCancel = new TRbButton(Panel1);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->SetCaption(QStringLiteral("Отмена"));
    btnCancel->setGeometry(426, 216, 82, 25);
    btnCancel->SetCancel(true);

    connect(cbInd, &QComboBox::activated, this, &TfrmIndStyle::SelectIndicator);
    connect(cbColorSheme, &QComboBox::activated, this, &TfrmIndStyle::cbColorShemeChange);
    connect(cbIndKind, &QComboBox::activated, this, &TfrmIndStyle::cbIndKindChange);
    connect(cbIndStyle, &QComboBox::activated, this, &TfrmIndStyle::cbIndStyleChange);
    connect(rseIndGrap, &QSpinBox::valueChanged, this, &TfrmIndStyle::rseIndGrapChange);
    connect(btnOk, &TRbButton::clicked, this, &TfrmIndStyle::btnOkClick);
    connect(btnCancel, &TRbButton::clicked, this, &TfrmIndStyle::btnCancelClick);

    ChooseColor = [this](TColor initial) -> std::optional<TColor> {
        const QColor c = QColorDialog::getColor(QColor::fromRgb(ColorToRgb(ResolveColor(initial, palette()))), this);
        if (!c.isValid())
            return std::nullopt;
        return RgbToColor(c.rgb());
    };
    ChooseOpenFile = [this](const QString& folder, const QString& filter) {
        return QFileDialog::getOpenFileName(this, QString(), folder, filter);
    };
    ChooseSaveFile = [this](const QString& folder, const QString& filter) {
        return QFileDialog::getSaveFileName(this, QString(), folder, filter);
    };
    ShowError = [this](const QString& text) { QMessageBox::critical(this, windowTitle(), text); };

    // The controls show the preview's look from now on, whatever changes it.
    connect(Ind, &TLiquidIndicator::colorSchemeChanged, this, &TfrmIndStyle::ShowScheme);
    for (auto changed : {&TLiquidIndicator::numberForeColorChanged, &TLiquidIndicator::numberBackColorChanged,
                         &TLiquidIndicator::backColorChanged, &TLiquidIndicator::bevelColorChanged})
        connect(Ind, changed, this, &TfrmIndStyle::ShowColors);
    connect(Ind, &TLiquidIndicator::indicatorKindChanged, this, &TfrmIndStyle::ShowKind);
    connect(Ind, &TLiquidIndicator::indicatorStyleChanged, this, &TfrmIndStyle::ShowThickness);
    connect(Ind, &TLiquidIndicator::indicatorGapChanged, this, &TfrmIndStyle::ShowGap);
    ShowStyleControls();

    SelectIndicator(0);
}

TLiquidIndicator* TfrmIndStyle::Indicator(int number) const
{
    return number >= 1 && number <= 3 ? m_ind[number - 1] : nullptr;
}

template <typename Apply>
void TfrmIndStyle::ApplyToAll(Apply apply)
{
    apply(*Ind);
    if (TLiquidIndicator* ind = Indicator(m_selected))
        apply(*ind);
    if (TLiquidIndicator* ind = Indicator(m_second))
        apply(*ind);
}

void TfrmIndStyle::ShowDialog()
{
    cbInd->setCurrentIndex(0);
    for (int i = 0; i < 3; ++i)
        if (m_ind[i])
            m_snapshots[i] = IndStyleOf(*m_ind[i]);
    SelectIndicator(0);
    show();
    raise();
    activateWindow();
}

void TfrmIndStyle::SelectIndicator(int item)
{
    switch (item) {
    case 1: m_selected = 2; m_second = 0; break;
    case 2: m_selected = 1; m_second = 2; break;
    case 3: m_selected = 3; m_second = 0; break;
    default: m_selected = 1; m_second = 0; break;
    }
    if (cbInd->currentIndex() != item && item >= 0 && item < cbInd->count())
        cbInd->setCurrentIndex(item);
    // The preview takes the shape of the indicator it stands for.
    if (m_selected == 3) {
        Ind->setGeometry(310, Ind->y(), 132, 36);
        Ind->SetSignNumber(10);
    } else {
        Ind->setGeometry(272, Ind->y(), 209, 49);
        Ind->SetSignNumber(6);
    }
    if (TLiquidIndicator* selected = Indicator(m_selected))
        CopyIndStyle(*selected, *Ind);
    if (TLiquidIndicator* second = Indicator(m_second))
        CopyIndStyle(*Ind, *second);
}

void TfrmIndStyle::ShowStyleControls()
{
    ShowScheme();
    ShowColors();
    ShowKind();
    ShowThickness();
    ShowGap();
}

void TfrmIndStyle::ShowScheme()
{
    const QSignalBlocker quiet(cbColorSheme);
    cbColorSheme->setCurrentIndex(ItemOfScheme(Ind->ColorScheme()));
}

void TfrmIndStyle::ShowColors()
{
    ShNumForeColor->SetColor(Ind->NumberForeColor());
    shNumBackColor->SetColor(Ind->NumberBackColor());
    shBackColor->SetColor(Ind->BackColor());
    shBevelColor->SetColor(Ind->BevelColor());
}

void TfrmIndStyle::ShowKind()
{
    const QSignalBlocker quiet(cbIndKind);
    cbIndKind->setCurrentIndex(Ind->IndicatorKind() == ik5x7matrix ? 1 : Ind->IndicatorKind() == ik7segment ? 0 : -1);
}

void TfrmIndStyle::ShowThickness()
{
    const QSignalBlocker quiet(cbIndStyle);
    cbIndStyle->setCurrentIndex(ItemOfStyle(Ind->IndicatorStyle()));
}

void TfrmIndStyle::ShowGap()
{
    // The field's own edits come back here: the text being typed is left alone.
    if (rseIndGrap->value() == Ind->IndicatorGap())
        return;
    const QSignalBlocker quiet(rseIndGrap);
    rseIndGrap->setValue(Ind->IndicatorGap()); // a gap outside 0..7 from a file shows clamped
}

void TfrmIndStyle::cbColorShemeChange(int item)
{
    if (item < 0)
        return;
    const TLiquidColorScheme scheme = SchemeOfItem(item);
    ApplyToAll([scheme](TLiquidIndicator& ind) { ind.SetColorScheme(scheme); });
}

void TfrmIndStyle::cbIndKindChange(int item)
{
    if (item < 0)
        return;
    const TLiquidIndicatorKind kind = item == 1 ? ik5x7matrix : ik7segment;
    ApplyToAll([kind](TLiquidIndicator& ind) { ind.SetIndicatorKind(kind); });
}

void TfrmIndStyle::cbIndStyleChange(int item)
{
    if (item < 0)
        return;
    const TLiquidIndicatorStyle style = StyleOfItem(item);
    ApplyToAll([style](TLiquidIndicator& ind) { ind.SetIndicatorStyle(style); });
}

void TfrmIndStyle::rseIndGrapChange(int value)
{
    ApplyToAll([value](TLiquidIndicator& ind) { ind.SetIndicatorGap(value); });
}

void TfrmIndStyle::SwatchClick(TColorSwatch* swatch)
{
    if (!ChooseColor)
        return;
    const std::optional<TColor> chosen = ChooseColor(swatch->Color());
    if (!chosen)
        return;
    const TColor c = *chosen;
    void (TLiquidIndicator::*setter)(TColor) = &TLiquidIndicator::SetBevelColor;
    if (swatch == ShNumForeColor)
        setter = &TLiquidIndicator::SetNumberForeColor;
    else if (swatch == shNumBackColor)
        setter = &TLiquidIndicator::SetNumberBackColor;
    else if (swatch == shBackColor)
        setter = &TLiquidIndicator::SetBackColor;
    ApplyToAll([setter, c](TLiquidIndicator& ind) { (ind.*setter)(c); });
}

void TfrmIndStyle::btnOkClick()
{
    done(QDialog::Accepted);
}

void TfrmIndStyle::FlushRebuilds()
{
    for (TLiquidIndicator* ind : {m_ind[0], m_ind[1], m_ind[2], Ind})
        if (ind)
            QCoreApplication::sendPostedEvents(ind, TLiquidIndicator::CM_REBUILDINDICATOR);
}

void TfrmIndStyle::btnCancelClick()
{
    FlushRebuilds();
    for (int i = 0; i < 3; ++i)
        if (m_ind[i])
            ApplyIndStyle(*m_ind[i], m_snapshots[i]);
    FlushRebuilds();
    done(QDialog::Rejected);
}

void TfrmIndStyle::reject()
{
    btnCancelClick();
}

void TfrmIndStyle::closeEvent(QCloseEvent* e)
{
    btnOkClick();
    e->accept();
}

bool TfrmIndStyle::eventFilter(QObject* watched, QEvent* e)
{
    // Enter in the gap field applies what is typed even when it equals the value.
    if (watched == rseIndGrap && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            rseIndGrap->interpretText();
            rseIndGrapChange(rseIndGrap->value());
            return true; // not the default button: Enter here only applies the gap
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TfrmIndStyle::CM_OpenClick()
{
    if (!ChooseOpenFile)
        return;
    const QString fileName = ChooseOpenFile(StyleFolder, FileFilter);
    if (fileName.isEmpty())
        return;
    const TIndStyleData style = ReadIndStyle(fileName, IndStyleFileSection);
    if (TLiquidIndicator* selected = Indicator(m_selected)) {
        ApplyIndStyle(*selected, style);
        if (TLiquidIndicator* second = Indicator(m_second))
            ApplyIndStyle(*second, style);
        CopyIndStyle(*selected, *Ind);
    }
}

void TfrmIndStyle::CM_SaveClick()
{
    if (!ChooseSaveFile)
        return;
    const QString chosen = ChooseSaveFile(StyleFolder, FileFilter);
    if (chosen.isEmpty())
        return;
    QString error;
    if (!WriteIndStyle(*Ind, StyleSaveName(chosen), IndStyleFileSection, &error) && ShowError)
        ShowError(error);
}
