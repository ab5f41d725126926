#include "app/StartupProbe.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

TStartupProbe::TStartupProbe(QWidget* window, TMode mode, QIODevice* out)
    : QObject(window)
    , m_window(window)
    , m_mode(mode)
    , m_out(out)
{
    // Children paint the window as much as the window itself: watch them all.
    qApp->installEventFilter(this);
}

bool TStartupProbe::ModeFromText(const QString& text, TMode* mode)
{
    if (text.compare(QLatin1String("report"), Qt::CaseInsensitive) == 0)
        *mode = TMode::Report;
    else if (text.compare(QLatin1String("quit"), Qt::CaseInsensitive) == 0)
        *mode = TMode::Quit;
    else
        return false;
    return true;
}

TStartupProbe* TStartupProbe::FromEnvironment(QWidget* window)
{
    TMode mode;
    if (!ModeFromText(qEnvironmentVariable("ZELKOR_STARTUP_PROBE"), &mode))
        return nullptr;
    auto* out = new QFile(window);
    // The descriptor itself, not stdio's buffer: a pipe must see the line at once.
    if (!out->open(1, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        delete out;
        return nullptr;
    }
    return new TStartupProbe(window, mode, out);
}

bool TStartupProbe::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() && m_window
        && static_cast<QWidget*>(watched)->window() == m_window) {
        m_seen = true;
        qApp->removeEventFilter(this);
        // After the whole paint pass, when the picture has gone to the screen.
        QTimer::singleShot(0, this, &TStartupProbe::Shown);
    }
    return QObject::eventFilter(watched, event);
}

void TStartupProbe::Shown()
{
    m_out->write(kShownLine);
    if (m_mode == TMode::Quit && m_window)
        m_window->close();
}
