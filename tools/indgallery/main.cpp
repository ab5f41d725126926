// Renders a sheet of indicators to a PNG. Runs offscreen:
//   QT_QPA_PLATFORM=offscreen indgallery sheet.png [ratio]
// A ratio (for example 2) renders as on a screen of that device pixel ratio.

#include "indicator/LiquidIndicator.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include <cmath>
#include <cstdio>

namespace {

// A striped and checkered parent, so that transparency shows.
class TPatternSheet : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(236, 236, 230));
        p.setPen(Qt::NoPen);
        for (const QRect& r : patterned) {
            for (int y = r.top(); y < r.bottom(); y += 8)
                for (int x = r.left(); x < r.right(); x += 8)
                    p.fillRect(x, y, 8, 8, ((x - r.left()) / 8 + (y - r.top()) / 8) % 2 ? QColor(60, 140, 70) : QColor(250, 220, 60));
        }
    }

public:
    std::vector<QRect> patterned;
};

QImage BackMaterialPicture()
{
    // Brushed metal: horizontal streaks of a varying grey.
    QImage img(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int v = 120 + int(40 * std::sin(y * 0.9) + 20 * std::sin(x * 0.21 + y * 2.3));
            img.setPixel(x, y, qRgb(v, v + 10, v + 30));
        }
    return img;
}

QImage ForeMaterialPicture()
{
    // A warm vertical gradient with thin bands.
    QImage img(16, 48, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int band = (y % 6 < 3) ? 20 : 0;
            img.setPixel(x, y, qRgb(255 - band, 80 + 3 * y - band, 20));
        }
    return img;
}

class TGallery {
public:
    explicit TGallery(TPatternSheet* sheet) : sheet(sheet) {}

    void Caption(int x, int y, const QString& text, int w = 260)
    {
        auto* l = new QLabel(text, sheet);
        l->setGeometry(x, y, w, 16);
    }

    TLiquidIndicator* Add(int x, int y, int W, int H, int N, const QByteArray& text)
    {
        auto* ind = new TLiquidIndicator(sheet);
        ind->move(x, y);
        ind->SetSignNumber(N);
        ind->SetIndicatorWidth(W);
        ind->SetIndicatorHeight(H);
        ind->SetIndicatorstring(text);
        return ind;
    }

    TPatternSheet* sheet;
};

void Hover(TLiquidIndicator* ind)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(ind, &e);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2)
        qputenv("QT_SCALE_FACTOR", argv[2]); // must be set before the application starts
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("indgallery.png");

    TPatternSheet sheet;
    sheet.resize(1300, 1010);
    TGallery g(&sheet);
    std::vector<TLiquidIndicator*> all;

    // Kinds and styles.
    const char* kindNames[] = {"ik7segment", "ik5x7matrix", "ik9segment"};
    const char* styleNames[] = {"isThin", "isNormal", "isThick"};
    const QByteArray texts[] = {QByteArray("-8.8\xB0") + "C", "Ab1%", "12:30"};
    for (int k = 0; k < 3; ++k)
        for (int s = 0; s < 3; ++s) {
            const int x = 10 + s * 220;
            const int y = 10 + k * 72;
            g.Caption(x, y, QString("%1 / %2").arg(kindNames[k], styleNames[s]), 210);
            auto* ind = g.Add(x, y + 18, 209, 49, k == 1 ? 4 : 5, texts[k]);
            ind->SetIndicatorKind(TLiquidIndicatorKind(k));
            ind->SetIndicatorStyle(TLiquidIndicatorStyle(s));
            all.push_back(ind);
        }

    // The diagnostics page.
    {
        const int x = 680;
        g.Caption(x, 10, "indT: 23,5   indR: 109,35");
        auto* indT = g.Add(x, 28, 209, 49, 5, "23,5");
        indT->SetNumberForeColor(0x800080);
        indT->SetIndicatorStyle(isThick);
        auto* indR = g.Add(x, 84, 209, 49, 5, "109,35");
        indR->SetNumberForeColor(0x800080);
        indR->SetNumberForeColor1(0x800000);
        indR->SetIndicatorStyle(isThick);
        g.Caption(x, 140, "indCalibrDate", 130);
        auto* indDate = g.Add(x, 158, 132, 36, 10, "25.03.2005");
        indDate->SetIndicatorKind(ik5x7matrix);
        indDate->SetBackColor(0xD3D3D3);
        indDate->SetNumberForeColor(0x800000);
        // What the date indicator shows with the default style of the settings file.
        g.Caption(x + 142, 140, "as 7 segments", 130);
        auto* indDate7 = g.Add(x + 142, 158, 132, 36, 10, "25.03.2005");
        indDate7->SetNumberForeColor(0x800080);
        indDate7->SetIndicatorStyle(isThick);
        all.insert(all.end(), {indT, indR, indDate, indDate7});
    }

    // Colour schemes, set after loading so that they take effect.
    const char* schemeNames[] = {"csSilver", "csInvSilver", "csWhite", "csBlack", "csPlasma", "csInvPlasma", "csVarno"};
    std::vector<TLiquidIndicator*> schemed;
    for (int c = 0; c < 7; ++c) {
        const int x = 10 + (c % 4) * 220;
        const int y = 230 + (c / 4) * 72;
        g.Caption(x, y, schemeNames[c], 210);
        auto* ind = g.Add(x, y + 18, 209, 49, 5, "-23.5");
        ind->SetIndicatorStyle(isThick);
        schemed.push_back(ind);
        all.push_back(ind);
    }
    {
        const int x = 10 + 3 * 220;
        const int y = 230 + 72;
        g.Caption(x, y, "csBlack, maColor hovered", 210);
        auto* ind = g.Add(x, y + 18, 209, 49, 5, "-23.5");
        ind->SetIndicatorStyle(isThick);
        ind->SetMouseAction(maColor);
        schemed.push_back(ind);
        all.push_back(ind);
    }

    // Angles.
    const int angles[] = {0, 450, 900, 1800};
    std::vector<TLiquidIndicator*> turned;
    for (int a = 0; a < 4; ++a) {
        const int x = 10 + a * 230;
        const int y = 390;
        g.Caption(x, y, QString("IndicatorAngle %1").arg(angles[a]), 220);
        auto* ind = g.Add(x, y + 18, 160, 40, 4, "12.5");
        ind->SetIndicatorAngle(angles[a]);
        ind->SetOuterBevelWidth(3);
        turned.push_back(ind);
        all.push_back(ind);
    }

    // Transparent modes over the pattern.
    const char* modeNames[] = {"tmNone", "tmBackOnly", "tmAll"};
    sheet.patterned.push_back(QRect(0, 600, 700, 110));
    for (int t = 0; t < 3; ++t) {
        const int x = 10 + t * 230;
        const int y = 605;
        g.Caption(x, y, modeNames[t], 210);
        auto* ind = g.Add(x, y + 22, 209, 49, 5, "-4.56");
        ind->SetIndicatorStyle(isThick);
        ind->SetTransparentMode(TLiquidTransparentMode(t));
        all.push_back(ind);
    }
    {
        g.Caption(710, 605, "tmAll, IndicatorAngle 300", 230);
        sheet.patterned.push_back(QRect(700, 600, 260, 200));
        auto* ind = g.Add(720, 625, 209, 49, 5, "7.89");
        ind->SetIndicatorAngle(300);
        ind->SetTransparentMode(tmAll);
        ind->SetIndicatorStyle(isThick);
        all.push_back(ind);
    }

    // Materials.
    const QImage back = BackMaterialPicture();
    const QImage fore = ForeMaterialPicture();
    struct TMat { const char* name; bool back, fore; TLiquidMaterialMode mode, foreMode; TLiquidMaterialShadowMode shadow; bool hover; };
    const TMat mats[] = {
        {"BackMaterial stretched, msmDark", true, false, mmStretch, mmStretch, msmDark, false},
        {"BackMaterial tiled, msmLight", true, false, mmTile, mmStretch, msmLight, false},
        {"ForeMaterial stretched", false, true, mmStretch, mmStretch, msmDark, false},
        {"both, tiled fore, msmNone", true, true, mmTile, mmTile, msmNone, false},
        {"ForeMaterial, maColor hovered", false, true, mmStretch, mmStretch, msmDark, true},
    };
    std::vector<TLiquidIndicator*> hovered;
    for (int i = 0; i < 5; ++i) {
        const int x = 10 + (i % 3) * 230;
        const int y = 720 + (i / 3) * 72;
        g.Caption(x, y, mats[i].name, 225);
        auto* ind = g.Add(x, y + 18, 209, 49, 5, "88.8");
        ind->SetIndicatorStyle(isThick);
        if (mats[i].back)
            ind->SetBackMaterial(back);
        if (mats[i].fore)
            ind->SetForeMaterial(fore);
        ind->SetMaterialMode(mats[i].mode);
        ind->SetForeMaterialMode(mats[i].foreMode);
        ind->SetMaterialShadowMode(mats[i].shadow);
        if (mats[i].hover) {
            ind->SetMouseAction(maColor);
            hovered.push_back(ind);
        }
        all.push_back(ind);
    }

    // Bevels and hover thickness.
    {
        g.Caption(710, 815, "bkNone / bkNone, gap 0", 240);
        auto* a = g.Add(720, 833, 209, 49, 5, "3.14");
        a->SetOuterBevel(bkNone);
        a->SetInnerBevel(bkNone);
        a->SetIndicatorGap(0);
        g.Caption(710, 890, "bkDown / bkUP 4 px; maWidth hovered", 260);
        auto* b = g.Add(720, 908, 209, 49, 5, "3.14");
        b->SetOuterBevel(bkDown);
        b->SetInnerBevel(bkUP);
        b->SetOuterBevelWidth(4);
        b->SetInnerBevelWidth(4);
        b->SetMouseAction(maWidth);
        g.Caption(960, 815, "matrix, maBoth hovered", 240);
        auto* c = g.Add(960, 833, 209, 49, 6, "Hover!");
        c->SetIndicatorKind(ik5x7matrix);
        c->SetMouseAction(maBoth);
        hovered.push_back(b);
        hovered.push_back(c);
        all.insert(all.end(), {a, b, c});
    }

    // A whole matrix alphabet.
    {
        g.Caption(960, 10, "5 x 7 font", 200);
        const QByteArray rows[] = {"!\"#$%&'()*+,-./0", "123456789:;<=>?@", "ABCDEFGHIJKLMNOP",
                                   "QRSTUVWXYZ[\\]^_`", "abcdefghijklmnop", "qrstuvwxyz{|}~ \xB0"};
        for (int r = 0; r < 6; ++r) {
            auto* ind = g.Add(960, 28 + r * 40, 320, 38, 16, rows[r]);
            ind->SetIndicatorKind(ik5x7matrix);
            ind->SetOuterBevel(bkNone);
            ind->SetIndicatorGap(1);
            all.push_back(ind);
        }
        g.Caption(960, 280, "seven-segment set", 200);
        const QByteArray seg[] = {"0123456789-_", "ACEFGHJLOPUY", "bcdhijlnortu", QByteArray("\xB0.,:") + " aZ\xC0"};
        for (int r = 0; r < 4; ++r) {
            auto* ind = g.Add(960, 298 + r * 40, 320, 38, 12, seg[r]);
            ind->SetOuterBevel(bkNone);
            ind->SetIndicatorKind(r == 3 ? ik9segment : ik7segment);
            all.push_back(ind);
        }
    }

    for (TLiquidIndicator* ind : all)
        ind->Loaded();
    for (int c = 0; c < 7; ++c)
        schemed[c]->SetColorScheme(TLiquidColorScheme(c));
    schemed[7]->SetColorScheme(csBlack);
    for (TLiquidIndicator* ind : hovered)
        Hover(ind);
    Hover(schemed[7]);

    sheet.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    const QImage picture = sheet.grab().toImage();
    if (!picture.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s: %d x %d\n", qPrintable(out), picture.width(), picture.height());
    return 0;
}
