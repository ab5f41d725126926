// rbgallery [out.png]: every skinned control in every state (normal, hot and
// pressed at fade levels 50 and 100, checked, disabled, focused) under the
// main window's scheme and the scheme editor's, on one sheet for looking at.
// With QT_SCALE_FACTOR=2 the sheet has the screen's ratio: every control as
// a dense screen shows it.
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbRadioButton.h"
#include "rbcontrols/RbSplitter.h"
#include "rbcontrols/RbStyleManager.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QTextStream>
#include <functional>
#include <vector>

namespace {

struct Cell {
    QString label;
    QImage image;
};
struct Row {
    QString title;
    std::vector<Cell> cells;
};

void Enter(QWidget* w)
{
    const QPointF p(3, 3);
    QEnterEvent e(p, w->mapToGlobal(p), w->mapToGlobal(p));
    QApplication::sendEvent(w, &e);
}

void Press(QWidget* w)
{
    const QPointF p(3, 3);
    QMouseEvent e(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The states a clickable control is shown in; ticks drive the fade by hand.
enum State { Normal, Hot50, Hot100, Pressed50, Pressed100, Checked, Disabled, Focused, CheckedDisabled };

const char* StateName(State s)
{
    switch (s) {
    case Normal: return "normal";
    case Hot50: return "hot 50";
    case Hot100: return "hot 100";
    case Pressed50: return "pressed 50";
    case Pressed100: return "pressed 100";
    case Checked: return "checked";
    case Disabled: return "disabled";
    case Focused: return "focused";
    case CheckedDisabled: return "checked, disabled";
    }
    return "";
}

void Ticks(TRbCustomControl* c, int n)
{
    for (int i = 0; i < n; ++i)
        c->FadeTick();
}

// A 16 x 16 glyph of our own: a green arrow on a magenta key colour, with a
// bottom-left pixel that marks the transparent colour.
QImage MakeGlyph()
{
    QImage g(16, 16, QImage::Format_RGB888);
    g.fill(QColor(255, 0, 255));
    QPainter p(&g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 140, 40));
    const QPoint arrow[] = {{2, 6}, {8, 6}, {8, 2}, {14, 8}, {8, 14}, {8, 10}, {2, 10}};
    p.drawPolygon(arrow, 7);
    return g;
}

// Builds each cell on a stage of the scheme's work-area colour: a fresh
// control, styled by the scheme's manager, put into its state and grabbed.
class Stage {
public:
    Stage(const QString& name, const std::function<void(TRbStyleManager&)>& init, TColor form)
        : m_name(name)
    {
        m_window.setWindowTitle(name);
        QPalette pal = m_window.palette();
        pal.setColor(QPalette::Window, ToQColor(form));
        m_window.setPalette(pal);
        m_window.setAutoFillBackground(true);
        m_window.resize(260, 140);
        // Away from the pointer, so only the states set here show.
        m_window.move(800, 600);
        m_manager = new TRbStyleManager(&m_window);
        init(*m_manager);
        m_window.show();
        m_window.activateWindow();
        QApplication::processEvents();
    }

    QString Name() const { return m_name; }

    template <class C>
    QImage Shoot(const std::function<void(C&)>& setup, State state, QSize cellSize)
    {
        auto* c = new C(&m_window);
        c->move(6, 6);
        c->SetRbStyleManager(m_manager);
        setup(*c);
        m_manager->ApplyStyle();
        c->show();
        QApplication::processEvents();
        if constexpr (std::is_base_of_v<TRbCustomControl, C>)
            Drive(c, state);
        else
            DriveSplitter(c, state);
        QImage shot = m_window.grab(QRect(QPoint(0, 0), cellSize)).toImage();
        delete c;
        return shot;
    }

private:
    void Drive(TRbCustomControl* c, State s)
    {
        switch (s) {
        case Normal: break;
        case Hot50: Enter(c); Ticks(c, 5); break;
        case Hot100: Enter(c); Ticks(c, 11); break;
        case Pressed50: Enter(c); Ticks(c, 11); Press(c); Ticks(c, 2); break;
        case Pressed100: Enter(c); Ticks(c, 11); Press(c); Ticks(c, 5); break;
        case Checked:
            if (auto* cb = qobject_cast<TRbCheckBox*>(c))
                cb->SetChecked(true);
            else if (auto* rb = qobject_cast<TRbRadioButton*>(c))
                rb->SetChecked(true);
            else if (auto* b = qobject_cast<TRbButton*>(c)) {
                b->SetGroupIndex(1);
                b->SetDown(true);
                Ticks(c, 12);
            }
            break;
        case CheckedDisabled:
            Drive(c, Checked);
            c->setEnabled(false);
            break;
        case Disabled: c->setEnabled(false); break;
        case Focused:
            c->setFocus(Qt::TabFocusReason);
            QApplication::processEvents();
            if (!c->hasFocus())
                QTextStream(stderr) << "focus did not arrive on " << c->metaObject()->className() << "\n";
            break;
        }
        c->repaint();
    }

    void DriveSplitter(TRbSplitter* s, State state)
    {
        int ticks = state == Hot50 ? 5 : state == Hot100 ? 11 : 0;
        if (ticks)
            Enter(s);
        for (int i = 0; i < ticks; ++i)
            s->FadeTick();
        s->repaint();
    }

    QString m_name;
    QWidget m_window;
    TRbStyleManager* m_manager = nullptr;
};

template <class C>
Row ControlRow(Stage& stage, const QString& title, const std::vector<State>& states, QSize cell,
               const std::function<void(C&)>& setup)
{
    Row row{title, {}};
    for (State s : states)
        row.cells.push_back({QString::fromLatin1(StateName(s)), stage.Shoot<C>(setup, s, cell)});
    return row;
}

template <class C>
Row VariantRow(Stage& stage, const QString& title, QSize cell,
               const std::vector<std::pair<QString, std::function<void(C&)>>>& variants, State state = Normal)
{
    Row row{title, {}};
    for (const auto& [label, setup] : variants)
        row.cells.push_back({label, stage.Shoot<C>(setup, state, cell)});
    return row;
}

std::vector<Row> SchemeRows(Stage& st)
{
    const std::vector<State> clickable = {Normal, Hot50, Hot100, Pressed50, Pressed100, Checked, Disabled, Focused};
    const std::vector<State> options = {Normal,  Hot50,    Hot100,   Pressed50,      Pressed100,
                                        Checked, Disabled, Focused, CheckedDisabled};
    const QSize small(150, 38), panel(200, 118), bar(170, 30);
    std::vector<Row> rows;

    rows.push_back(ControlRow<TRbButton>(st, "TRbButton", clickable, small, [](TRbButton& b) {
        b.resize(75, 25);
        b.SetCaption(QStringLiteral("Прочитать"));
    }));
    rows.push_back(ControlRow<TRbButton>(st, "TRbButton, glyph", clickable, small, [](TRbButton& b) {
        b.resize(100, 25);
        b.SetCaption(QStringLiteral("Записать"));
        b.SetGlyph(MakeGlyph());
    }));
    rows.push_back(VariantRow<TRbButton>(
        st, "TRbButton, layouts", QSize(150, 60),
        {{"glyph right",
          [](TRbButton& b) {
              b.resize(100, 25);
              b.SetCaption(QStringLiteral("Далее"));
              b.SetGlyph(MakeGlyph());
              b.SetLayout(blGlyphRight);
          }},
         {"glyph top",
          [](TRbButton& b) {
              b.resize(90, 48);
              b.SetCaption(QStringLiteral("Старт"));
              b.SetGlyph(MakeGlyph());
              b.SetLayout(blGlyphTop);
          }},
         {"glyph bottom",
          [](TRbButton& b) {
              b.resize(90, 48);
              b.SetCaption(QStringLiteral("Стоп"));
              b.SetGlyph(MakeGlyph());
              b.SetLayout(blGlyphBottom);
          }},
         {"glyph only",
          [](TRbButton& b) {
              b.resize(30, 25);
              b.SetGlyph(MakeGlyph());
          }},
         {"horizontal gradient", [](TRbButton& b) {
              b.resize(75, 25);
              b.SetCaption(QStringLiteral("Ok"));
              b.SetGradientType(gtHorizontal);
          }}}));
    rows.push_back(ControlRow<TRbCheckBox>(st, "TRbCheckBox", options, small, [](TRbCheckBox& c) {
        c.SetCaption(QStringLiteral("Усреднение"));
    }));
    rows.push_back(ControlRow<TRbRadioButton>(st, "TRbRadioButton", options, small, [](TRbRadioButton& r) {
        r.SetCaption(QStringLiteral("Pt 0,00391"));
    }));
    rows.push_back(VariantRow<TRbRadioButton>(
        st, "TRbRadioButton, sizes", small,
        {{"rsSmall", [](TRbRadioButton& r) { r.SetCaption("rsSmall"); r.SetRadioType(rsSmall); r.SetChecked(true); }},
         {"rsMedium", [](TRbRadioButton& r) { r.SetCaption("rsMedium"); r.SetChecked(true); }},
         {"rsLarge", [](TRbRadioButton& r) { r.SetCaption("rsLarge"); r.SetRadioType(rsLarge); r.SetChecked(true); }},
         {"border lines", [](TRbRadioButton& r) {
              r.SetCaption("100 Ом");
              r.SetBorderLines(AllBorderLines);
          }}}));

    auto panelWith = [](TRbCaptionPos pos) {
        return [pos](TRbPanel& p) {
            p.SetCaption(QStringLiteral("Тип датчика"));
            p.SetCaptionPosition(pos);
        };
    };
    rows.push_back(VariantRow<TRbPanel>(st, "TRbPanel", panel,
                                        {{"cpTopLeft", panelWith(cpTopLeft)},
                                         {"cpTopCenter", panelWith(cpTopCenter)},
                                         {"cpTopRight", panelWith(cpTopRight)},
                                         {"cpGroupBox", panelWith(cpGroupBox)},
                                         {"cpMiddleLeft", panelWith(cpMiddleLeft)}}));
    rows.push_back(VariantRow<TRbPanel>(
        st, "TRbPanel", panel,
        {{"cpMiddleCenter", panelWith(cpMiddleCenter)},
         {"cpMiddleRight", panelWith(cpMiddleRight)},
         {"cpBottomLeft", panelWith(cpBottomLeft)},
         {"cpBottomCenter", panelWith(cpBottomCenter)},
         {"cpBottomRight", panelWith(cpBottomRight)}}));
    rows.push_back(VariantRow<TRbPanel>(
        st, "TRbPanel, options", panel,
        {{"gradient, not smoothed",
          [](TRbPanel& p) {
              p.SetCaption(QStringLiteral("Градиент"));
              p.SetAntialiased(false);
              p.SetGradient(true);
              p.SetDefaultFrom(clWhite);
              p.SetDefaultTo(RGBColor(150, 170, 210));
          }},
         {"border 4, corner 20",
          [](TRbPanel& p) {
              p.SetCaption(QStringLiteral("Диапазон"));
              p.SetCaptionPosition(cpGroupBox);
              p.SetBorderWidth(4);
              p.SetCornerWidth(20);
          }},
         {"corner 0",
          [](TRbPanel& p) {
              p.SetCaption(QStringLiteral("Адрес"));
              p.SetCornerWidth(0);
          }},
         {"disabled", [](TRbPanel& p) {
              p.SetCaption(QStringLiteral("Калибровка"));
              p.setEnabled(false);
          }}}));

    auto barAt = [](int pos) {
        return [pos](TRbProgressBar& b) { b.SetPosition(pos); };
    };
    rows.push_back(VariantRow<TRbProgressBar>(
        st, "TRbProgressBar", bar,
        {{"0 %", barAt(0)},
         {"50 %", barAt(50)},
         {"80 %", barAt(80)},
         {"100 %", barAt(100)},
         {"caption",
          [](TRbProgressBar& b) {
              b.SetCaption(QStringLiteral("Адрес 17"));
              b.SetPosition(7);
          }},
         {"disabled",
          [](TRbProgressBar& b) {
              b.SetPosition(60);
              b.setEnabled(false);
          }}}));
    rows.push_back(VariantRow<TRbProgressBar>(st, "TRbProgressBar, vertical", QSize(60, 112),
                                              {{"30 %", [](TRbProgressBar& b) {
                                                    b.resize(24, 100);
                                                    b.SetOrientation(pbVertical);
                                                    b.SetShowText(false);
                                                    b.SetPosition(30);
                                                }}}));

    const std::vector<State> hover = {Normal, Hot50, Hot100};
    rows.push_back(ControlRow<TRbSplitter>(st, "TRbSplitter, left", hover, QSize(40, 140), [](TRbSplitter& s) {
        s.resize(6, 125);
        s.SetAlign(alLeft);
    }));
    rows.push_back(ControlRow<TRbSplitter>(st, "TRbSplitter, top", hover, QSize(160, 20), [](TRbSplitter& s) {
        s.resize(140, 6);
        s.SetAlign(alTop);
        s.SetGradientType(gtVertical);
    }));
    rows.push_back(VariantRow<TRbSplitter>(st, "TRbSplitter, DrawAll off", QSize(40, 140),
                                           {{"band only", [](TRbSplitter& s) {
                                                 s.resize(6, 125);
                                                 s.SetDrawAll(false);
                                                 s.Colors().SetDefaultFrom(RGBColor(120, 150, 200));
                                                 s.Colors().SetDefaultTo(RGBColor(230, 240, 255));
                                             }}},
                                           Hot100));
    return rows;
}

QImage ComposeSheet(const std::vector<std::pair<QString, std::vector<Row>>>& blocks)
{
    const int margin = 10, titleW = 170, labelH = 14, gap = 8;
    int width = 0, height = margin;
    for (const auto& [name, rows] : blocks) {
        height += 28;
        for (const Row& r : rows) {
            int w = margin + titleW, h = 0;
            for (const Cell& c : r.cells) {
                const QSize size = c.image.deviceIndependentSize().toSize();
                w += size.width() + gap;
                h = std::max(h, size.height());
            }
            width = std::max(width, w + margin);
            height += labelH + h + gap;
        }
        height += margin;
    }
    const qreal ratio = qApp->devicePixelRatio();
    QImage sheet(QSizeF(QSizeF(width, height) * ratio).toSize(), QImage::Format_RGB888);
    sheet.setDevicePixelRatio(ratio);
    sheet.fill(QColor(250, 250, 250));
    QPainter p(&sheet);
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    titleFont.setPixelSize(15);
    QFont labelFont = QApplication::font();
    labelFont.setPixelSize(11);
    int y = margin;
    for (const auto& [name, rows] : blocks) {
        p.setFont(titleFont);
        p.setPen(Qt::black);
        p.drawText(QRect(margin, y, width, 24), Qt::AlignLeft | Qt::AlignVCenter, name);
        y += 28;
        for (const Row& r : rows) {
            int x = margin + titleW, h = 0;
            p.setFont(labelFont);
            p.setPen(QColor(40, 40, 40));
            p.drawText(QRect(margin, y + labelH, titleW - 6, 30), Qt::AlignLeft | Qt::AlignTop, r.title);
            for (const Cell& c : r.cells) {
                const QSize size = c.image.deviceIndependentSize().toSize();
                p.setPen(QColor(90, 90, 90));
                p.drawText(QRect(x, y, size.width(), labelH), Qt::AlignLeft | Qt::AlignVCenter, c.label);
                p.drawImage(x, y + labelH, c.image);
                x += size.width() + gap;
                h = std::max(h, size.height());
            }
            y += labelH + h + gap;
        }
        y += margin;
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("rbgallery.png");

    std::vector<std::pair<QString, std::vector<Row>>> blocks;
    {
        // The main window with its built-in scheme shows the face colour.
        Stage main(QStringLiteral("Main window scheme (Standart.rbs)"),
                   [](TRbStyleManager& m) { m.SetMainWindowValues(); }, clBtnFace);
        blocks.emplace_back(main.Name(), SchemeRows(main));
    }
    {
        // The editor's preview sits on the work-area colour it edits.
        Stage editor(QStringLiteral("Scheme editor's scheme"), [](TRbStyleManager& m) { m.SetEditorValues(); },
                     RGBColor(236, 233, 216));
        blocks.emplace_back(editor.Name(), SchemeRows(editor));
    }
    const QImage sheet = ComposeSheet(blocks);
    if (!sheet.save(out)) {
        QTextStream(stderr) << "cannot write " << out << "\n";
        return 1;
    }
    QTextStream(stdout) << out << ": " << sheet.width() << " x " << sheet.height() << "\n";
    return 0;
}
