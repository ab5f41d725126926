// The editor window: its controls, preview and menu. The handlers are in
// RbStyleEditorActions.cpp.
#include "rbcontrols/RbStyleEditor.h"

#include "rbcontrols/TextContrast.h"

#include "rbcontrols/ColorScheme.h"
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbColorSwatch.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbRadioButton.h"
#include "rbcontrols/RbSplitter.h"
#include "rbcontrols/RbStyleManager.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QLabel* MakeLabel(const QString& text, QWidget* parent, const QRect& r, Qt::Alignment align)
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(r);
    l->setAlignment(align);
    l->setWordWrap(true);
    return l;
}

QLabel* MakeHeading(const QString& text, QWidget* parent, int x, int y)
{
    QLabel* l = MakeLabel(text, parent, QRect(x, y, 150, 16), Qt::AlignLeft | Qt::AlignVCenter);
    QFont f = l->font();
    f.setBold(true);
    f.setUnderline(true);
    l->setFont(f);
    KeepTextContrast(l, QColor(0, 128, 0)); // green, as dark as the panel behind needs
    l->setWordWrap(false);
    l->adjustSize();
    return l;
}

// The small pictures of the three bottom buttons.
enum class TGlyph { Ok, Cancel, Apply };

QImage MakeGlyph(TGlyph kind)
{
    QImage img(12, 12, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::black, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (kind) {
    case TGlyph::Ok:
        pen.setColor(QColor(0, 128, 0));
        p.setPen(pen);
        p.drawPolyline(QPolygonF({{2, 6.5}, {5, 9.5}, {10, 3}}));
        break;
    case TGlyph::Cancel:
        pen.setColor(QColor(192, 0, 0));
        p.setPen(pen);
        p.drawLine(QPointF(3, 3), QPointF(9, 9));
        p.drawLine(QPointF(9, 3), QPointF(3, 9));
        break;
    case TGlyph::Apply:
        pen.setColor(QColor(0, 64, 160));
        p.setPen(pen);
        p.drawLine(QPointF(2, 6), QPointF(10, 6));
        p.drawPolyline(QPolygonF({{7, 3}, {10, 6}, {7, 9}}));
        break;
    }
    return img;
}

} // namespace

TFStyleEditor::TFStyleEditor(IColorSchemeHost& host, TStyleEditorDialogs dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , m_host(host)
    , m_dialogs(std::move(dialogs))
    , m_smgr(new TRbStyleManager(this))
{
    setObjectName(QStringLiteral("FStyleEditor"));
    setWindowTitle(QStringLiteral("Настройки стиля"));
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    m_smgr->setObjectName(QStringLiteral("SMgr"));
    m_smgr->SetEditorValues();

    m_smgr->SetLoading(true); // the controls register while the window is built
    CreateMenu();
    CreateControls();
    CreatePreview();
    CreateButtons();
    m_smgr->SetLoading(false);

    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

TFStyleEditor::~TFStyleEditor() = default;

void TFStyleEditor::CreateMenu()
{
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MainMenu1"));
    MenuBar->setNativeMenuBar(false);
    auto make = [this](const char* name, const QString& caption, const QKeySequence& keys) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a); // shortcuts work without the menu being open
        return a;
    };
    actOpen = make("actOpen", QStringLiteral("Открыть"), QKeySequence(Qt::CTRL | Qt::Key_O));
    actSave = make("actSave", QStringLiteral("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S));
    actSaveAs = make("actSaveAs", QStringLiteral("Сохранить как..."), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    actAppClose = make("actAppClose", QStringLiteral("Закрыть и применить"), QKeySequence(Qt::CTRL | Qt::Key_A));
    actClose = make("actClose", QStringLiteral("Закрыть"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu* file = MenuBar->addMenu(QStringLiteral("Файл"));
    file->addAction(actOpen);
    file->addAction(actSave);
    file->addAction(actSaveAs);
    file->addSeparator();
    file->addAction(actAppClose);

    connect(actOpen, &QAction::triggered, this, &TFStyleEditor::actOpenExecute);
    connect(actSave, &QAction::triggered, this, &TFStyleEditor::actSaveExecute);
    connect(actSaveAs, &QAction::triggered, this, &TFStyleEditor::actSaveAsExecute);
    connect(actAppClose, &QAction::triggered, this, &TFStyleEditor::actAppCloseExecute);
    connect(actClose, &QAction::triggered, this, &TFStyleEditor::actCloseExecute);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MenuBar);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    layout->addWidget(client);
}

TRbColorSwatch* TFStyleEditor::MakeSwatch(const QString& name, const QString& label, int x, int y, int labelWidth)
{
    auto* s = new TRbColorSwatch(RbPanel4);
    s->setObjectName(name);
    s->setGeometry(x, y, 17, 17);
    if (labelWidth > 0) {
        QLabel* l = MakeLabel(label, RbPanel4, QRect(x - labelWidth - 5, y - 5, labelWidth, 27),
                              Qt::AlignRight | Qt::AlignVCenter);
        QFont f = l->font();
        f.setPixelSize(10);
        l->setFont(f);
        l->setBuddy(s);
    }
    s->setAccessibleName(label);
    connect(s, &TRbColorSwatch::pressed, this, [this, s](Qt::KeyboardModifiers m) {
        if (s == ShFormColor)
            ShFormColorMouseDown(m);
        else
            SwatchMouseDown(s, m);
    });
    connect(s, &TRbColorSwatch::dragOver, this, [this, s](const QString& source, bool* accept) {
        TRbColorSwatch* from = SwatchByName(source);
        *accept = s == ShFormColor ? ShFormColorDragOver(from) : SwatchDragOver(s, from);
    });
    connect(s, &TRbColorSwatch::dropped, this,
            [this, s](const QString& source) { SwatchDragDrop(s, SwatchByName(source)); });
    return s;
}

void TFStyleEditor::CreateControls()
{
    QWidget* client = findChild<QWidget*>(QStringLiteral("client"));
    QLabel* note = MakeLabel(QStringLiteral("Нажимайте Shift для перетаскивания/копирования цветов"), client,
                             QRect(179, 8, 322, 16), Qt::AlignLeft | Qt::AlignVCenter);
    note->setObjectName(QStringLiteral("lbNote"));
    note->setWordWrap(false);
    QFont small = note->font();
    small.setPixelSize(9);
    note->setFont(small);

    RbPanel4 = new TRbPanel(client);
    RbPanel4->setObjectName(QStringLiteral("RbPanel4"));
    RbPanel4->SetCaption(QStringLiteral("Цвета стиля"));
    RbPanel4->SetCaptionPosition(cpTopLeft);
    RbPanel4->SetCornerWidth(15);
    RbPanel4->SetBounds(8, 32, 313, 305);

    MakeHeading(QStringLiteral("Настройка кнопок"), RbPanel4, 12, 24);
    const QString base = QStringLiteral("Основные цвета");
    const QString over = QStringLiteral("При наведении курсора");
    const QString clicked = QStringLiteral("При нажатии");
    EDefaultFrom = MakeSwatch(QStringLiteral("EDefaultFrom"), base, 96, 48, 88);
    EDefaultTo = MakeSwatch(QStringLiteral("EDefaultTo"), base, 112, 48, 0);
    EOverFrom = MakeSwatch(QStringLiteral("EOverFrom"), over, 96, 72, 88);
    EOverFrom->resize(21, 17);
    EOverTo = MakeSwatch(QStringLiteral("EOverTo"), over, 112, 72, 0);
    EClickedFrom = MakeSwatch(QStringLiteral("EClickedFrom"), clicked, 96, 96, 88);
    EClickedTo = MakeSwatch(QStringLiteral("EClickedTo"), clicked, 112, 96, 0);
    ShFormColor = MakeSwatch(QStringLiteral("ShFormColor"), QStringLiteral("Рабочая область"), 256, 40, 100);
    EHotTrack = MakeSwatch(QStringLiteral("EHotTrack"), QStringLiteral("Подсветка"), 256, 64, 100);
    ETextShadow = MakeSwatch(QStringLiteral("ETextShadow"), QStringLiteral("Тени"), 256, 88, 100);
    EBorderColor = MakeSwatch(QStringLiteral("EBorderColor"), QStringLiteral("Границы"), 256, 112, 100);
    ECheckColor = MakeSwatch(QStringLiteral("ECheckColor"), QStringLiteral("Символы выбора"), 256, 136, 100);

    auto check = [this](const char* name, const QString& caption, int x, int y) {
        auto* c = new QCheckBox(caption, RbPanel4);
        c->setObjectName(QString::fromLatin1(name));
        c->move(x, y);
        c->adjustSize();
        return c;
    };
    CHShowFocusRect = check("CHShowFocusRect", QStringLiteral("Отображать рамку фокуса"), 24, 120);
    CHGradientBorder = check("CHGradientBorder", QStringLiteral("Градиентные границы"), 24, 155);
    CHHotTrack = check("CHHotTrack", QStringLiteral("Подсветка текста"), 24, 184);
    CHTextShadow = check("CHTextShadow", QStringLiteral("Текст с тенью"), 24, 206);
    for (QCheckBox* c : {CHShowFocusRect, CHHotTrack, CHTextShadow})
        connect(c, &QCheckBox::clicked, this, &TFStyleEditor::CHShowFocusRectClick);

    QLabel* speed = MakeLabel(QStringLiteral("Скорость изменений"), RbPanel4, QRect(168, 160, 130, 16),
                              Qt::AlignLeft | Qt::AlignVCenter);
    CBFadeSpeed = new QComboBox(RbPanel4);
    CBFadeSpeed->setObjectName(QStringLiteral("CBFadeSpeed"));
    CBFadeSpeed->addItems({QStringLiteral("fsSlow"), QStringLiteral("fsMedium"), QStringLiteral("fsFast"),
                           QStringLiteral("fsVeryFast")});
    CBFadeSpeed->setGeometry(168, 176, 105, 21);
    speed->setBuddy(CBFadeSpeed);
    CBFadeSpeed->setAccessibleName(speed->text()); // the label, not the current item
    connect(CBFadeSpeed, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_showing)
            CBFadeSpeedChange();
    });

    RbButton3 = new TRbButton(RbPanel4);
    RbButton3->setObjectName(QStringLiteral("RbButton3"));
    RbButton3->SetCaption(QStringLiteral("Шрифт"));
    RbButton3->SetBounds(184, 208, 67, 17);
    connect(RbButton3, &TRbButton::clicked, this, &TFStyleEditor::BFontClick);

    MakeHeading(QStringLiteral("Настройки панелей"), RbPanel4, 12, 232);
    EInnerColor = MakeSwatch(QStringLiteral("EInnerColor"), QStringLiteral("Цвет"), 88, 256, 76);
    EPanelBorderColor = MakeSwatch(QStringLiteral("EPanelBorderColor"), QStringLiteral("Границы"), 88, 280, 76);
    MakeHeading(QStringLiteral("Настройки разделителей"), RbPanel4, 156, 232);
    ESplitterDefaultFrom = MakeSwatch(QStringLiteral("ESplitterDefaultFrom"), base, 264, 256, 104);
    ESplitterDefaultTo = MakeSwatch(QStringLiteral("ESplitterDefaultTo"), base, 280, 256, 0);
    ESplitterOverFrom = MakeSwatch(QStringLiteral("ESplitterOverFrom"), over, 264, 280, 104);
    ESplitterOverTo = MakeSwatch(QStringLiteral("ESplitterOverTo"), over, 280, 280, 0);

    // Pairs share a label; the screen reader tells their ends apart.
    for (TRbColorSwatch* s : {EDefaultFrom, EOverFrom, EClickedFrom, ESplitterDefaultFrom, ESplitterOverFrom})
        s->setAccessibleName(s->accessibleName() + QStringLiteral(", от"));
    for (TRbColorSwatch* s : {EDefaultTo, EOverTo, EClickedTo, ESplitterDefaultTo, ESplitterOverTo})
        s->setAccessibleName(s->accessibleName() + QStringLiteral(", до"));
    EInnerColor->setAccessibleName(QStringLiteral("Цвет панелей"));
    EPanelBorderColor->setAccessibleName(QStringLiteral("Границы панелей"));

    RbPanel4->SetRbStyleManager(m_smgr);
    RbButton3->SetRbStyleManager(m_smgr);
}

void TFStyleEditor::CreatePreview()
{
    QWidget* client = findChild<QWidget*>(QStringLiteral("client"));
    RbPanel1 = new TRbPanel(client);
    RbPanel1->setObjectName(QStringLiteral("RbPanel1"));
    RbPanel1->SetCornerWidth(0);
    RbPanel1->SetBounds(328, 32, 169, 305);
    RbPanel1->setAccessibleName(QStringLiteral("Образец"));
    auto* column = new QVBoxLayout(RbPanel1);
    column->setSpacing(0);
    // Margins of our own: the style's would leave the panels narrower than
    // the check boxes and the bar placed on them.
    column->setContentsMargins(4, 4, 4, 4);

    RbPanel2 = new TRbPanel(RbPanel1);
    RbPanel2->setObjectName(QStringLiteral("RbPanel2"));
    RbPanel2->SetCaption(QStringLiteral("Тестовая панель"));
    RbPanel2->SetCaptionPosition(cpTopCenter);
    RbPanel2->setFixedHeight(119);
    auto option = [this](const char* name, const QString& caption, int y) {
        auto* r = new TRbRadioButton(RbPanel2);
        r->setObjectName(QString::fromLatin1(name));
        r->SetCaption(caption);
        r->SetBounds(14, y, 140, 17);
        return r;
    };
    RbRadioButton1 = option("RbRadioButton1", QStringLiteral("Кнопка выбора 1"), 22);
    RbRadioButton2 = option("RbRadioButton2", QStringLiteral("Кнопка выбора 2"), 44);
    RbRadioButton1->SetChecked(true);
    auto box = [this](const char* name, const QString& caption, int y) {
        auto* c = new TRbCheckBox(RbPanel2);
        c->setObjectName(QString::fromLatin1(name));
        c->SetCaption(caption);
        c->SetBounds(14, y, 140, 17);
        return c;
    };
    RbCheckBox1 = box("RbCheckBox1", QStringLiteral("Пометка 1"), 68);
    RbCheckBox2 = box("RbCheckBox2", QStringLiteral("Пометка 2"), 90);
    RbCheckBox1->SetChecked(true);

    RbSplitter1 = new TRbSplitter(RbPanel1);
    RbSplitter1->setObjectName(QStringLiteral("RbSplitter1"));
    RbSplitter1->SetAlign(alTop);
    RbSplitter1->SetMinSize(50);
    RbSplitter1->SetResizeStyle(rsUpdate);
    RbSplitter1->SetGripAlign(gaHorizontal);
    RbSplitter1->setFixedHeight(6);
    RbSplitter1->SetResizeControl(RbPanel2);

    RbPanel3 = new TRbPanel(RbPanel1);
    RbPanel3->setObjectName(QStringLiteral("RbPanel3"));
    RbPanel3->setFixedHeight(130);
    RbButton1 = new TRbButton(RbPanel3);
    RbButton1->setObjectName(QStringLiteral("RbButton1"));
    RbButton1->SetCaption(QStringLiteral("Кнопка"));
    RbButton1->SetBounds(40, 14, 80, 25);
    RbButton2 = new TRbButton(RbPanel3);
    RbButton2->setObjectName(QStringLiteral("RbButton2"));
    RbButton2->SetCaption(QStringLiteral("Кнопка"));
    RbButton2->SetBounds(40, 48, 80, 25);
    RbProgressBar1 = new TRbProgressBar(RbPanel3);
    RbProgressBar1->setObjectName(QStringLiteral("RbProgressBar1"));
    RbProgressBar1->SetBounds(8, 92, 147, 16);
    RbProgressBar1->SetPosition(80);

    column->addWidget(RbPanel2);
    column->addWidget(RbSplitter1);
    column->addWidget(RbPanel3);
    column->addStretch(1);

    for (TRbCustomControl* c : std::initializer_list<TRbCustomControl*>{
             RbPanel2, RbRadioButton1, RbRadioButton2, RbCheckBox1, RbCheckBox2, RbPanel3, RbButton1, RbButton2})
        c->SetRbStyleManager(m_smgr);
    RbSplitter1->SetRbStyleManager(m_smgr);
    // The preview bar is the program's own: its gradient comes from the editor.
    RbProgressBar1->SetRbStyleManager(&m_host.StyleManager());

    // The sample shows the colours the swatches hold, as they change: the
    // bar the hover gradient, the sample panel the work area. (Not the
    // editor manager's: a scheme file that fails half-way leaves values in
    // it that the swatches and the sample do not show.)
    auto showHover = [this] {
        RbProgressBar1->SetDefaultFrom(EOverFrom->Color());
        RbProgressBar1->SetDefaultTo(EOverTo->Color());
    };
    auto showWorkArea = [this] { RbPanel1->SetColor(ShFormColor->Color()); };
    connect(EOverFrom, &TRbColorSwatch::colorChanged, RbProgressBar1, showHover);
    connect(EOverTo, &TRbColorSwatch::colorChanged, RbProgressBar1, showHover);
    connect(ShFormColor, &TRbColorSwatch::colorChanged, RbPanel1, showWorkArea);
    showHover();
    showWorkArea();
}

void TFStyleEditor::CreateButtons()
{
    QWidget* client = findChild<QWidget*>(QStringLiteral("client"));
    auto button = [this, client](const char* name, const QString& caption, int x, TGlyph glyph) {
        auto* b = new TRbButton(client);
        b->setObjectName(QString::fromLatin1(name));
        b->SetCaption(caption);
        b->SetGlyph(MakeGlyph(glyph));
        b->SetBounds(x, 344, 78, 25);
        b->SetRbStyleManager(m_smgr);
        return b;
    };
    btnOk = button("btnOk", QStringLiteral("ОК"), 232, TGlyph::Ok);
    btnCancel = button("btnCancel", QStringLiteral("Отмена"), 312, TGlyph::Cancel);
    btnApply = button("btnApply", QStringLiteral("Применить"), 392, TGlyph::Apply);
    connect(btnOk, &TRbButton::clicked, this, &TFStyleEditor::btnOkClick);
    connect(btnCancel, &TRbButton::clicked, this, &TFStyleEditor::btnCancelClick);
    connect(btnApply, &TRbButton::clicked, this, &TFStyleEditor::btnApplyClick);
}

QList<TRbColorSwatch*> TFStyleEditor::Swatches() const
{
    return {EDefaultFrom, EDefaultTo,  EOverFrom,   EOverTo,     EClickedFrom, EClickedTo,
            ShFormColor,  EHotTrack,   ETextShadow, EBorderColor, ECheckColor,  EInnerColor,
            EPanelBorderColor, ESplitterDefaultFrom, ESplitterDefaultTo, ESplitterOverFrom, ESplitterOverTo};
}

TRbColorSwatch* TFStyleEditor::SwatchByName(const QString& name) const
{
    for (TRbColorSwatch* s : Swatches())
        if (s->objectName() == name)
            return s;
    return nullptr;
}
