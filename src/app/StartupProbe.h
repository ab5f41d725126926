#pragma once

#include <QObject>
#include <QPointer>

class QIODevice;
class QWidget;

// A hook for scripts and benchmarks, off unless ZELKOR_STARTUP_PROBE is set:
// once the window has been painted for the first time it writes
// "zelkor: shown" to stdout, and with the value "quit" it then closes the
// window, so the program starts and ends by itself. Users see nothing of it.
class TStartupProbe : public QObject
{
    Q_OBJECT
public:
    enum class TMode { Report, Quit };

    TStartupProbe(QWidget* window, TMode mode, QIODevice* out);

    // The probe the environment asks for, owned by the window; none when
    // ZELKOR_STARTUP_PROBE is unset or names no mode.
    static TStartupProbe* FromEnvironment(QWidget* window);
    // "report" or "quit" (any letter case).
    static bool ModeFromText(const QString& text, TMode* mode);

    static constexpr const char* kShownLine = "zelkor: shown\n";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Shown();

    QPointer<QWidget> m_window;
    TMode m_mode;
    QIODevice* m_out;
    bool m_seen = false;
};
