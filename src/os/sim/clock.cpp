#include "os/sim/clock.h"

namespace sim {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
// Days from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kDaysFrom1601To1970 = 134'774;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

} // namespace

Clock::Clock() {
    SetLocalTime(2026, 12, 7, 22, 24, 38);
}

std::int64_t Clock::TicksFromCivil(int year, int month, int day, int hour, int minute, int second) {
    const std::int64_t days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kDaysFrom1601To1970;
    return ((days * kSecondsPerDay) + hour * 3600 + minute * 60 + second) * kTicksPerSecond;
}

SYSTEMTIME Clock::CivilFromTicks(std::int64_t ticks) {
    const std::int64_t totalSeconds = ticks / kTicksPerSecond;
    std::int64_t z = totalSeconds / kSecondsPerDay - kDaysFrom1601To1970;
    const std::int64_t secondOfDay = totalSeconds % kSecondsPerDay;
    // Inverse of DaysFromCivil (civil_from_days).
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);

    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    // 1601-01-01 was a Monday.
    st.wDayOfWeek = static_cast<WORD>((totalSeconds / kSecondsPerDay + 1) % 7);
    st.wHour = static_cast<WORD>(secondOfDay / 3600);
    st.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    st.wSecond = static_cast<WORD>(secondOfDay % 60);
    st.wMilliseconds = static_cast<WORD>(ticks % kTicksPerSecond / 10'000);
    return st;
}

int Clock::BiasMinutesAt(std::int64_t universalTicks) const {
    if (m_daylight.startMonth == 0) {
        return m_biasMinutes;
    }
    const SYSTEMTIME standard = CivilFromTicks(
        universalTicks - static_cast<std::int64_t>(m_biasMinutes) * 60 * kTicksPerSecond);
    auto key = [](int month, int day, int hour) { return (month * 100 + day) * 100 + hour; };
    const int now = key(standard.wMonth, standard.wDay, standard.wHour);
    const bool daylight =
        now >= key(m_daylight.startMonth, m_daylight.startDay, m_daylight.startHour) &&
        now < key(m_daylight.endMonth, m_daylight.endDay, m_daylight.endHour);
    return daylight ? m_biasMinutes + m_daylight.daylightBias : m_biasMinutes;
}

void Clock::SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
    const std::int64_t local = TicksFromCivil(year, month, day, hour, minute, second);
    m_universalTicks = local + static_cast<std::int64_t>(m_biasMinutes) * 60 * kTicksPerSecond;
    m_universalTicks =
        local + static_cast<std::int64_t>(CurrentBiasMinutes()) * 60 * kTicksPerSecond;
}

SYSTEMTIME Clock::LocalTime() const {
    return CivilFromTicks(m_universalTicks -
                          static_cast<std::int64_t>(CurrentBiasMinutes()) * 60 * kTicksPerSecond);
}

void Clock::AdvanceSeconds(std::int64_t seconds) {
    m_universalTicks += seconds * kTicksPerSecond;
}

FILETIME Clock::ToFileTime(std::int64_t ticks) {
    const auto value = static_cast<std::uint64_t>(ticks);
    return FILETIME{static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}

std::int64_t Clock::FromFileTime(const FILETIME& time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

} // namespace sim
