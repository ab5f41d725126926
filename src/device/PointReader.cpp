#include "device/PointReader.h"

#include "link/MessageDialog.h"
#include "link/TickSource.h"

#include <QLocale>

#include <algorithm>

namespace {

QString StateText(int state)
{
    switch (state) {
    case 1: return QStringLiteral("АЦП не отвечает");
    case 2: return QStringLiteral("Настройка не производилась или сбой EEPROM");
    case 3:
        return QStringLiteral("Обрыв или короткое замыкание ТС, или измеренная температура за пределами "
                              "максимального диапазона измерения.");
    default: return QStringLiteral("Неизвестное состояние самодиагностики %1").arg(state);
    }
}

QString Number(double v, int decimals)
{
    return QLocale().toString(v, 'f', decimals);
}

} // namespace

TPointReader::TPointReader(TDeviceSession& session, ICurrentReader& current)
    : m_session(session)
    , m_currentReader(current)
    , m_sampler(session)
{
}

void TPointReader::SetRules(const TSettlingRule& reading, const TSettlingRule& current)
{
    m_reading = TSettlingJudge(reading);
    m_current = TSettlingJudge(current);
}

bool TPointReader::Start(const TVerifyPoint& point)
{
    m_point = point;
    m_reading.Reset();
    m_current.Reset();
    m_samples = 0;
    m_misses = 0;
    m_error.clear();
    m_status = TPointStatus::Sampling;
    m_startTick = m_session.link.ticks ? m_session.link.ticks->GetTickCount() : 0;
    if (!m_currentReader.Live()) {
        QString why;
        if (!m_currentReader.ReadCurrent(point, &m_typedCurrent, &why)) {
            fail(why);
            return false;
        }
    }
    return true;
}

void TPointReader::Cancel()
{
    if (Running())
        fail(QStringLiteral("Измерение прервано."));
}

double TPointReader::elapsedSeconds() const
{
    if (!m_session.link.ticks)
        return m_samples;
    return TicksSince(m_session.link.ticks->GetTickCount(), m_startTick) / 1000.0;
}

double TPointReader::Current() const
{
    return m_currentReader.Live() ? m_current.Mean() : m_typedCurrent;
}

TPointStatus TPointReader::fail(const QString& why)
{
    m_error = why;
    m_status = TPointStatus::Failed;
    return m_status;
}

TPointStatus TPointReader::Step()
{
    if (!Running())
        return m_status;
    const TMeasurementSample s = m_sampler.Take();
    if (s.lost) {
        fail(QStringLiteral("Нет связи с прибором."));
        m_session.Messages().ShowError(m_error);
        m_session.shell->DisconnectDevice();
        return m_status;
    }
    if (!s.answered) {
        // As the measuring loop: RepeatNum silent requests in a row lose the device.
        if (++m_misses >= std::max(1, m_session.link.RepeatNum)) {
            fail(QStringLiteral("Не получен ответ от прибора"));
            m_session.Messages().ShowError(m_error);
            m_session.shell->DisconnectDevice();
        }
        return m_status;
    }
    m_misses = 0;
    if (s.state != 0)
        return fail(StateText(s.state));

    const double at = elapsedSeconds();
    ++m_samples;
    m_reading.Add(at, s.temperature);
    if (m_currentReader.Live()) {
        double mA = 0;
        QString why;
        if (!m_currentReader.ReadCurrent(m_point, &mA, &why))
            return fail(why);
        m_current.Add(at, mA);
    }
    const bool currentSettled = !m_currentReader.Live() || m_current.Settled();
    if (m_reading.Settled() && currentSettled) {
        m_status = TPointStatus::Settled;
        return m_status;
    }
    if (m_samples >= kMaxSamples) {
        const TSettlingJudge& j = m_reading.Settled() ? m_current : m_reading;
        return fail(QStringLiteral("Показания не установились за %1 измерений: разброс %2, дрейф %3 в секунду.")
                        .arg(kMaxSamples)
                        .arg(Number(j.Spread(), 3), Number(j.Slope(), 3)));
    }
    return m_status;
}
