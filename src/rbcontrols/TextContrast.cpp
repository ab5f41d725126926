#include "rbcontrols/TextContrast.h"

#include "rbcontrols/RbColors.h"
#include "rbcontrols/RbCustomControl.h"

#include <QEvent>
#include <QWidget>

#include <cmath>

namespace {

double Channel(double v)
{
    v /= 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c)
{
    return 0.2126 * Channel(c.red()) + 0.7152 * Channel(c.green()) + 0.0722 * Channel(c.blue());
}

// Re-judges one label's colour whenever its palette or its parent's changes.
class TTextContrast : public QObject {
public:
    TTextContrast(QWidget* label, const QColor& wanted) : QObject(label), m_label(label), m_wanted(wanted)
    {
        label->installEventFilter(this);
        Apply();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == m_label && (e->type() == QEvent::PaletteChange || e->type() == QEvent::ParentChange
                                   || e->type() == QEvent::Show))
            Apply();
        return QObject::eventFilter(watched, e);
    }

private:
    void Apply()
    {
        if (m_applying)
            return;
        const QColor text = WithContrast(m_wanted, BackgroundBehind(m_label));
        if (m_label->palette().color(QPalette::WindowText) == text)
            return;
        m_applying = true;
        QPalette pal = m_label->palette();
        pal.setColor(QPalette::WindowText, text);
        m_label->setPalette(pal);
        m_applying = false;
    }

    QWidget* m_label;
    QColor m_wanted;
    bool m_applying = false;
};

} // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    double la = Luminance(a), lb = Luminance(b);
    if (la < lb)
        std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

QColor WithContrast(const QColor& wanted, const QColor& background, double minimum)
{
    if (ContrastRatio(wanted, background) >= minimum)
        return wanted;
    // Towards whichever end of the scale can reach the contrast.
    const QColor end = ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background) ? Qt::white : Qt::black;
    for (int step = 1; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor c = QColor::fromRgbF(float(wanted.redF() + (end.redF() - wanted.redF()) * t),
                                          float(wanted.greenF() + (end.greenF() - wanted.greenF()) * t),
                                          float(wanted.blueF() + (end.blueF() - wanted.blueF()) * t));
        if (ContrastRatio(c, background) >= minimum)
            return c;
    }
    return end;
}

QColor BackgroundBehind(const QWidget* w)
{
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (auto* skinned = qobject_cast<const TRbCustomControl*>(p))
            return ToQColor(skinned->Color());
        if (p->autoFillBackground() || p->isWindow() || p->testAttribute(Qt::WA_StyledBackground))
            return p->palette().color(p->backgroundRole());
    }
    return w->palette().color(w->backgroundRole());
}

void KeepTextContrast(QWidget* label, const QColor& wanted)
{
    new TTextContrast(label, wanted);
}
