#pragma once

#include <QObject>

#include <cstdint>

class ITickSource;
class QWidget;

// Drops the presses on a button that were not meant for what it does now:
// those that reach it while its own operation runs (an exchange lets
// pending events run, so a second click of a double-click arrives there)
// and those within a short hold after what the button acts on changed
// (a press queued behind the exchange, or the second half of a double-click
// on a caption that has just turned into "Продолжить").
//
// Only input is filtered; a programmatic click goes through.
class TPressGuard : public QObject {
    Q_OBJECT
public:
    static constexpr uint32_t kHoldMs = 400;

    explicit TPressGuard(ITickSource* ticks, QObject* parent = nullptr);

    // The buttons whose mouse presses and Space/Enter presses are judged.
    void Guard(QWidget* button);

    // Whether a press may act now.
    bool Accepts();
    // What the next press acts on changed now: the hold starts again.
    void Changed();
    int Dropped() const { return m_dropped; }

    // The guarded operation runs while one of these lives; its end starts the hold.
    class TBusy {
    public:
        explicit TBusy(TPressGuard& guard) : m_guard(guard) { ++m_guard.m_busy; }
        ~TBusy()
        {
            --m_guard.m_busy;
            m_guard.Changed();
        }
        TBusy(const TBusy&) = delete;
        TBusy& operator=(const TBusy&) = delete;

    private:
        TPressGuard& m_guard;
    };
    bool Busy() const { return m_busy > 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ITickSource* m_ticks;
    uint32_t m_changedAt = 0;
    bool m_holding = false;
    int m_busy = 0;
    int m_dropped = 0;
};
