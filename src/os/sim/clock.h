// The simulated machine's clock: Coordinated Universal Time in Windows file-time units (100 ns
// since 1601-01-01) and the time-zone bias that turns it into local time.
#pragma once

#include "os/sim/sim_api.h"

#include <cstdint>

namespace sim {

class Clock {
public:
    Clock();

    // Local wall-clock time; the stored universal time follows from the bias.
    void SetLocalTime(int year, int month, int day, int hour, int minute, int second);
    SYSTEMTIME LocalTime() const;

    // Minutes to add to local standard time to get universal time (Japan: -540).
    void SetBiasMinutes(int bias) { m_biasMinutes = bias; }
    int BiasMinutes() const { return m_biasMinutes; }

    // Daylight saving time, every year from the start to the end (month, day and hour of
    // local standard time; northern hemisphere), adding `daylightBias` minutes to the bias
    // (usually -60). Japan has none, which is the default.
    struct DaylightRule {
        int startMonth, startDay, startHour;
        int endMonth, endDay, endHour;
        int daylightBias;
    };
    void SetDaylightRule(const DaylightRule& rule) { m_daylight = rule; }
    // The bias in force at a universal moment, and now.
    int BiasMinutesAt(std::int64_t universalTicks) const;
    int CurrentBiasMinutes() const { return BiasMinutesAt(m_universalTicks); }

    std::int64_t UniversalTicks() const { return m_universalTicks; }
    void AdvanceSeconds(std::int64_t seconds);

    static FILETIME ToFileTime(std::int64_t ticks);
    static std::int64_t FromFileTime(const FILETIME& time);
    static std::int64_t TicksFromCivil(int year, int month, int day, int hour, int minute,
                                       int second);
    static SYSTEMTIME CivilFromTicks(std::int64_t ticks);

private:
    std::int64_t m_universalTicks = 0;
    int m_biasMinutes = -540;
    DaylightRule m_daylight{0, 0, 0, 0, 0, 0, 0};
};

} // namespace sim
