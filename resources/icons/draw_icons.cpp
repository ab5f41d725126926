// Draws the program's pictures: the 13 toolbar/image-list icons (32 x 32),
// the application icon (128 x 128, and 48, 64, 256 for the desktop) and the
// About picture (a JPEG).
//
// Build and run from the repository root when a picture changes:
//   g++ -std=c++17 -fPIC resources/icons/draw_icons.cpp -o /tmp/draw_icons \
//       $(pkg-config --cflags --libs Qt6Gui) && QT_QPA_PLATFORM=offscreen /tmp/draw_icons resources
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QBrush ball(QColor light, QColor dark)
{
    QRadialGradient g(QPointF(12, 11), 18);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    return g;
}

void disc(QPainter& p, QColor light, QColor dark)
{
    p.setPen(QPen(dark.darker(140), 1.2));
    p.setBrush(ball(light, dark));
    p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
}

void start(QPainter& p)
{
    disc(p, QColor(150, 240, 150), QColor(20, 130, 30));
    QPainterPath tri;
    tri.moveTo(12, 9);
    tri.lineTo(24, 16);
    tri.lineTo(12, 23);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(tri);
}

void stop(QPainter& p)
{
    disc(p, QColor(255, 160, 150), QColor(180, 20, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(10.5, 10.5, 11, 11), 1.5, 1.5);
}

void colours(QPainter& p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    const QColor c[3] = {QColor(230, 40, 40, 210), QColor(40, 170, 60, 210), QColor(40, 80, 230, 210)};
    const QPointF at[3] = {QPointF(11, 11), QPointF(21, 11), QPointF(16, 20)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(c[i]);
        p.drawEllipse(at[i], 8, 8);
    }
}

void plugHalf(QPainter& p, double x, bool left, QColor body)
{
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body);
    if (left) {
        p.drawRoundedRect(QRectF(x, 11, 9, 10), 2, 2);
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(x + 9, 12.5, 4, 2));
        p.drawRect(QRectF(x + 9, 17.5, 4, 2));
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.drawLine(QPointF(1, 16), QPointF(x, 16));
    } else {
        p.drawRoundedRect(QRectF(x, 11, 9, 10), 2, 2);
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.drawLine(QPointF(x + 9, 16), QPointF(31, 16));
    }
}

void connectIcon(QPainter& p)
{
    plugHalf(p, 5, true, QColor(70, 170, 70));
    plugHalf(p, 18, false, QColor(70, 170, 70));
}

void disconnectIcon(QPainter& p)
{
    plugHalf(p, 2, true, QColor(200, 70, 60));
    plugHalf(p, 21, false, QColor(200, 70, 60));
    p.setPen(QPen(QColor(230, 160, 0), 1.5));
    p.drawLine(QPointF(17, 6), QPointF(19, 11));
    p.drawLine(QPointF(17, 26), QPointF(19, 21));
}

void gear(QPainter& p)
{
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i * M_PI) / teeth;
        const double a1 = ((i + 1) * M_PI) / teeth;
        const double r = (i % 2 == 0) ? 14 : 10.5;
        const QPointF p0(16 + r * qCos(a0), 16 + r * qSin(a0));
        const QPointF p1(16 + r * qCos(a1), 16 + r * qSin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    path.addEllipse(QPointF(16, 16), 4.5, 4.5);
    path.setFillRule(Qt::OddEvenFill);
    QLinearGradient g(0, 0, 32, 32);
    g.setColorAt(0, QColor(190, 200, 215));
    g.setColorAt(1, QColor(80, 90, 110));
    p.setPen(QPen(QColor(50, 55, 70), 1));
    p.setBrush(g);
    p.drawPath(path);
}

void comPort(QPainter& p)
{
    QPainterPath shell;
    shell.moveTo(3, 9);
    shell.lineTo(29, 9);
    shell.lineTo(25, 23);
    shell.lineTo(7, 23);
    shell.closeSubpath();
    QLinearGradient g(0, 9, 0, 23);
    g.setColorAt(0, QColor(210, 215, 225));
    g.setColorAt(1, QColor(120, 125, 140));
    p.setPen(QPen(QColor(50, 50, 60), 1.2));
    p.setBrush(g);
    p.drawPath(shell);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 50));
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(8 + i * 4, 13.5), 1.3, 1.3);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(10 + i * 4, 18.5), 1.3, 1.3);
}

void findFirst(QPainter& p)
{
    p.setPen(QPen(QColor(90, 60, 30), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(28, 28));
    p.setPen(QPen(QColor(40, 60, 120), 2));
    QRadialGradient g(QPointF(11, 10), 12);
    g.setColorAt(0, QColor(240, 250, 255));
    g.setColorAt(1, QColor(150, 190, 230));
    p.setBrush(g);
    p.drawEllipse(QPointF(13, 13), 9.5, 9.5);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(20, 40, 110));
    p.drawText(QRectF(3.5, 3.5, 19, 19), Qt::AlignCenter, QStringLiteral("1"));
}

void chip(QPainter& p)
{
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(QColor(60, 65, 75));
    p.drawRect(QRectF(8, 18, 16, 10));
    p.setPen(QPen(QColor(180, 180, 180), 1.2));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(10 + i * 4, 28), QPointF(10 + i * 4, 31));
    }
}

void arrow(QPainter& p, bool down, QColor color)
{
    QPainterPath a;
    if (down) {
        a.moveTo(13, 2);
        a.lineTo(19, 2);
        a.lineTo(19, 9);
        a.lineTo(24, 9);
        a.lineTo(16, 17);
        a.lineTo(8, 9);
        a.lineTo(13, 9);
    } else {
        a.moveTo(16, 1);
        a.lineTo(24, 9);
        a.lineTo(19, 9);
        a.lineTo(19, 16);
        a.lineTo(13, 16);
        a.lineTo(13, 9);
        a.lineTo(8, 9);
    }
    a.closeSubpath();
    p.setPen(QPen(color.darker(150), 1));
    p.setBrush(color);
    p.drawPath(a);
}

void readIcon(QPainter& p)
{
    chip(p);
    arrow(p, false, QColor(60, 140, 220));
}

void writeIcon(QPainter& p)
{
    chip(p);
    arrow(p, true, QColor(230, 140, 30));
}

void segmentDigit(QPainter& p)
{
    p.setPen(QPen(QColor(20, 30, 20), 1));
    p.setBrush(QColor(25, 45, 30));
    p.drawRoundedRect(QRectF(4.5, 1.5, 23, 29), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 255, 120));
    const double x0 = 10, x1 = 22, y0 = 5, ym = 16, y1 = 27, t = 2.4;
    p.drawRect(QRectF(x0 + 1, y0, x1 - x0 - 2, t));            // top
    p.drawRect(QRectF(x0 + 1, ym - t / 2, x1 - x0 - 2, t));     // middle
    p.drawRect(QRectF(x0 + 1, y1 - t, x1 - x0 - 2, t));         // bottom
    p.drawRect(QRectF(x0 - 1, y0 + 1.5, t, ym - y0 - 2.5));     // upper left
    p.drawRect(QRectF(x1 - 1.4, y0 + 1.5, t, ym - y0 - 2.5));   // upper right
    p.drawRect(QRectF(x0 - 1, ym + 1, t, y1 - ym - 2.5));       // lower left
    p.drawRect(QRectF(x1 - 1.4, ym + 1, t, y1 - ym - 2.5));     // lower right
}

void exitIcon(QPainter& p)
{
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, QColor(190, 130, 80));
    g.setColorAt(1, QColor(120, 70, 35));
    p.setPen(QPen(QColor(70, 40, 20), 1));
    p.setBrush(g);
    p.drawRect(QRectF(4.5, 2.5, 14, 27));
    p.setBrush(QColor(240, 210, 90));
    p.drawEllipse(QPointF(15, 16), 1.3, 1.3);
    QPainterPath a;
    a.moveTo(16, 13);
    a.lineTo(23, 13);
    a.lineTo(23, 8);
    a.lineTo(31, 16);
    a.lineTo(23, 24);
    a.lineTo(23, 19);
    a.lineTo(16, 19);
    a.closeSubpath();
    p.setPen(QPen(QColor(150, 20, 20), 1));
    p.setBrush(QColor(220, 50, 40));
    p.drawPath(a);
}

void about(QPainter& p)
{
    disc(p, QColor(170, 205, 255), QColor(30, 80, 180));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
    p.drawRoundedRect(QRectF(14, 13, 4, 12), 1, 1);
}

void thermometer(QPainter& p, double scale)
{
    p.save();
    p.scale(scale, scale);
    // Tube and bulb, in a 32-unit box.
    p.setPen(QPen(QColor(40, 40, 60), 1.2));
    p.setBrush(QColor(250, 250, 255));
    p.drawRoundedRect(QRectF(13, 3, 6, 21), 3, 3);
    p.setBrush(QColor(220, 40, 40));
    p.drawEllipse(QPointF(16, 25), 5, 5);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(14.8, 10, 2.4, 14));
    p.setPen(QPen(QColor(40, 40, 60), 0.8));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(19, 6 + i * 3.5), QPointF(21, 6 + i * 3.5));
    p.restore();
}

void appIcon(QPainter& p)
{
    QLinearGradient g(0, 0, 128, 128);
    g.setColorAt(0, QColor(90, 150, 230));
    g.setColorAt(1, QColor(20, 50, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(4, 4, 120, 120), 22, 22);
    thermometer(p, 4.0);
}

QImage aboutPicture()
{
    const int w = 298, h = 305;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(235, 243, 252));
    sky.setColorAt(0.55, QColor(190, 212, 240));
    sky.setColorAt(1, QColor(120, 160, 215));
    p.fillRect(img.rect(), sky);
    // Isotherms: soft waves across the lower half.
    for (int k = 0; k < 6; ++k) {
        QPainterPath wave;
        const double base = 170 + k * 22;
        wave.moveTo(0, base);
        for (int x = 0; x <= w; x += 6)
            wave.lineTo(x, base + 7 * qSin((x + k * 40) / 38.0));
        wave.lineTo(w, h);
        wave.lineTo(0, h);
        wave.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 28 + k * 6));
        p.drawPath(wave);
    }
    // A large, faint thermometer on the right.
    p.setOpacity(0.35);
    p.translate(200, 140);
    thermometer(p, 3.0);
    p.resetTransform();
    p.setOpacity(1);
    p.setPen(QPen(QColor(60, 80, 120, 120), 1));
    p.drawLine(20, 108, w - 20, 108);
    p.drawLine(20, 226, w - 20, 226);
    p.end();
    return img;
}

bool save(const QImage& img, const QString& path, const char* format = "PNG", int quality = -1)
{
    if (!img.save(path, format, quality)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources");
    const Draw icons[13] = {start,    stop,       colours,  connectIcon, disconnectIcon, gear, comPort,
                            findFirst, readIcon,  writeIcon, segmentDigit, exitIcon,     about};
    bool ok = true;
    for (int i = 0; i < 13; ++i) {
        QImage img = canvas(32, 32);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        icons[i](p);
        p.end();
        ok &= save(img, root + QStringLiteral("/icons/image%1.png").arg(i, 2, 10, QLatin1Char('0')));
    }
    QImage big = canvas(128, 128);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        appIcon(p);
    }
    ok &= save(big, root + QStringLiteral("/icons/zelkor.png"));
    // The sizes desktops install; drawn at each size rather than scaled from 128.
    for (const int size : {48, 64, 256}) {
        QImage img = canvas(size, size);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 128.0, size / 128.0);
        appIcon(p);
        p.end();
        ok &= save(img, root + QStringLiteral("/icons/zelkor-%1.png").arg(size));
    }
    ok &= save(aboutPicture(), root + QStringLiteral("/about.jpg"), "JPG", 90);
    return ok ? 0 : 1;
}
