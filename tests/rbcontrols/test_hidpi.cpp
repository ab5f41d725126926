// On a dense screen captions and marks are drawn at the device's resolution.
#include "rbcontrols/RbButton.h"
#include "rbcontrols/RbCheckBox.h"
#include "rbcontrols/RbPanel.h"
#include "rbcontrols/RbProgressBar.h"
#include "rbcontrols/RbRadioButton.h"

#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// The whole binary runs on a screen of ratio 2, as with QT_SCALE_FACTOR=2
// in the user's environment; set before the application starts.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

constexpr qreal kRatio = 2.0;

// Aligned 2 x 2 blocks of device pixels that are not one colour: a picture
// drawn in logical pixels and enlarged has none.
int FineBlocks(const QImage& image)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y + 1 < img.height(); y += 2)
        for (int x = 0; x + 1 < img.width(); x += 2) {
            const QRgb c = img.pixel(x, y);
            if (img.pixel(x + 1, y) != c || img.pixel(x, y + 1) != c || img.pixel(x + 1, y + 1) != c)
                ++n;
        }
    return n;
}

QImage LabelAt(const QString& text, const QFont& font, QSize size, qreal ratio)
{
    QLabel label(text);
    label.setFont(font);
    label.resize(size);
    QImage img((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::white);
    label.render(&img);
    return img;
}

// Bounds of the pixels darker than a third of white, in logical pixels.
QRectF InkBounds(const QImage& image)
{
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 96) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1);
                y1 = std::max(y1, y + 1);
            }
    const qreal r = image.devicePixelRatio();
    return x1 < 0 ? QRectF() : QRectF(QPointF(x0 / r, y0 / r), QPointF(x1 / r, y1 / r));
}

} // namespace

TEST(HighDensity, CaptionsHaveTheDetailOfALabelAndKeepTheirPlace)
{
    const QString caption = QStringLiteral("Прочитать 0123");
    TRbButton button;
    button.resize(140, 25);
    button.SetCaption(caption);
    button.SetTextShadow(false);
    button.Font().SetColor(clBlack);

    const QImage one = button.RenderBuffer();
    const QImage two = button.RenderBuffer(kRatio);
    EXPECT_EQ(one.size(), QSize(140, 25));
    EXPECT_EQ(two.size(), QSize(280, 50));
    EXPECT_EQ(two.devicePixelRatio(), kRatio);

    const int label = FineBlocks(LabelAt(caption, button.Font().ToQFont(), button.size(), kRatio));
    ASSERT_GT(label, 40);
    EXPECT_GE(FineBlocks(two), label / 2);
    EXPECT_EQ(FineBlocks(one.scaled(one.size() * 2)), 0); // what enlarging alone gives

    // The caption stands where it stands at ratio 1.
    const QRectF ink1 = InkBounds(one), ink2 = InkBounds(two);
    ASSERT_FALSE(ink1.isEmpty());
    EXPECT_NEAR(ink1.left(), ink2.left(), 1.0);
    EXPECT_NEAR(ink1.right(), ink2.right(), 1.0);
    EXPECT_NEAR(ink1.top(), ink2.top(), 1.0);
    EXPECT_NEAR(ink1.bottom(), ink2.bottom(), 1.0);
}

TEST(HighDensity, EveryControlDrawsItsTextAndMarksSharp)
{
    TRbCheckBox box;
    box.SetChecked(true);
    box.SetCaption(QString());
    TRbRadioButton radio;
    radio.SetChecked(true);
    radio.SetCaption(QString());
    // A mark alone gives fine detail; unchecked, nothing does.
    EXPECT_GT(FineBlocks(box.RenderBuffer(kRatio)), 4);
    EXPECT_GT(FineBlocks(radio.RenderBuffer(kRatio)), 4);
    box.SetChecked(false);
    radio.SetChecked(false);
    EXPECT_EQ(FineBlocks(box.RenderBuffer(kRatio)), 0);
    EXPECT_EQ(FineBlocks(radio.RenderBuffer(kRatio)), 0);

    box.SetCaption(QStringLiteral("Включить усреднение"));
    radio.SetCaption(QStringLiteral("100 Ом"));
    TRbPanel panel;
    panel.resize(120, 60);
    panel.SetCaption(QStringLiteral("Тип датчика"));
    TRbProgressBar bar;
    bar.resize(120, 20);
    bar.SetPosition(40);
    EXPECT_GT(FineBlocks(box.RenderBuffer(kRatio)), 20);
    EXPECT_GT(FineBlocks(radio.RenderBuffer(kRatio)), 20);
    EXPECT_GT(FineBlocks(panel.RenderBuffer(kRatio)), 20);
    EXPECT_GT(FineBlocks(bar.RenderBuffer(kRatio)), 10);
}

TEST(HighDensity, TheWindowShowsTheControlsAtTheScreensRatio)
{
    ASSERT_TRUE(kScaled);
    QWidget window;
    window.resize(300, 120);
    auto* box = new TRbCheckBox(&window);
    box->SetCaption(QStringLiteral("Включить усреднение"));
    box->setGeometry(10, 10, 200, 17);
    auto* button = new TRbButton(&window);
    button->SetCaption(QStringLiteral("Записать"));
    button->setGeometry(10, 40, 100, 25);
    auto* radio = new TRbRadioButton(&window); // shown with its face colour keyed out
    radio->SetCaption(QStringLiteral("100 Ом"));
    radio->setGeometry(10, 70, 100, 17);
    window.show();
    ASSERT_EQ(window.devicePixelRatioF(), kRatio);

    for (QWidget* w : std::initializer_list<QWidget*>{box, button, radio}) {
        const QImage shown = w->grab().toImage();
        EXPECT_EQ(shown.size(), w->size() * 2);
        EXPECT_GT(FineBlocks(shown), 40) << w->metaObject()->className();
    }
}
