#include "code/Support_Date.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <cmath>
#include <ctime>
#include <string_view>

namespace px {

namespace {

// Day 0, 30 December 1899, counted from 1970-01-01.
constexpr std::int64_t kUnixEpochDay = 25569;
constexpr double kMaxDays = 1e11;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

bool IsLeapYear(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(std::int64_t year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// Days are counted in eras of 400 years starting on 1 March, so the leap day
// falls at the end of each counted year.
std::int64_t DayNumber(std::int64_t year, int month, int day) {
  const std::int64_t y = year - (month <= 2);
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + kUnixEpochDay;
}

CivilDate CivilFromDayNumber(std::int64_t day) {
  const std::int64_t z = day - kUnixEpochDay + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  CivilDate out;
  out.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.year = yearOfEra + era * 400 + (out.month <= 2);
  return out;
}

// Day 0 was a Saturday.
int Weekday(std::int64_t day) {
  return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

int DayOfYear(std::int64_t day) {
  return static_cast<int>(day - DayNumber(CivilFromDayNumber(day).year, 1, 1)) + 1;
}

int IsoWeek(std::int64_t day) {
  const int mondayBased = (Weekday(day) + 5) % 7;  // Monday 0 … Sunday 6
  const std::int64_t thursday = day - mondayBased + 3;
  return (DayOfYear(thursday) - 1) / 7 + 1;
}

double JoinDateTime(std::int64_t day, double time) {
  if (time >= 1.0) {
    ++day;
    time -= 1.0;
  }
  const auto whole = static_cast<double>(day);
  return day >= 0 ? whole + time : whole - time;
}

std::optional<DayAndTime> SplitDateTime(double dt) {
  if (!(std::fabs(dt) <= kMaxDays)) return std::nullopt;
  const double whole = std::trunc(dt);
  return DayAndTime{static_cast<std::int64_t>(whole), std::fabs(dt - whole)};
}

std::optional<CalendarTime> DecodeDateTime(double dt) {
  const std::optional<DayAndTime> split = SplitDateTime(dt);
  if (!split) return std::nullopt;
  CalendarTime out;
  out.day = split->day;
  auto millis = static_cast<std::int64_t>(std::nearbyint(split->time * kMillisPerDay));
  if (millis >= static_cast<std::int64_t>(kMillisPerDay)) {
    ++out.day;
    millis = 0;
  }
  out.date = CivilFromDayNumber(out.day);
  out.millisecond = static_cast<int>(millis % 1000);
  out.second = static_cast<int>(millis / 1000 % 60);
  out.minute = static_cast<int>(millis / 60000 % 60);
  out.hour = static_cast<int>(millis / 3600000);
  return out;
}

bool ValidDate(std::int64_t year, std::int64_t month, std::int64_t day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, static_cast<int>(month));
}

bool ValidTime(std::int64_t hour, std::int64_t minute, std::int64_t second) {
  if (hour == 24) return minute == 0 && second == 0;
  return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

double TimeOfDay(std::int64_t hour, std::int64_t minute, std::int64_t second) {
  return static_cast<double>(hour * 3600 + minute * 60 + second) / 86400.0;
}

std::optional<double> AddMonths(double dt, std::int64_t months) {
  const std::optional<DayAndTime> split = SplitDateTime(dt);
  if (!split) return std::nullopt;
  const CivilDate date = CivilFromDayNumber(split->day);
  const std::int64_t index = date.year * 12 + (date.month - 1) + months;
  const std::int64_t year = FloorDiv(index, 12);
  const int month = static_cast<int>(index - year * 12) + 1;
  const int day = std::min(date.day, DaysInMonth(year, month));
  return JoinDateTime(DayNumber(year, month, day), split->time);
}

double LocalDateTime(std::int64_t unixMicros) {
  const std::int64_t seconds = FloorDiv(unixMicros, 1000000);
  const std::int64_t micros = unixMicros - seconds * 1000000;
  const auto t = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&t, &local)) gmtime_r(&t, &local);
  const std::int64_t day = DayNumber(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday);
  const double secondOfDay =
      local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + micros / 1e6;
  return static_cast<double>(day) + secondOfDay / 86400.0;
}

namespace {

// The environment's time locale, opened once; the POSIX locale when the
// environment names none that exists.
locale_t TimeLocale() {
  static const locale_t locale = [] {
    locale_t l = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
    return l ? l : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  }();
  return locale;
}

std::string Format(double dt, const char* pattern, locale_t locale) {
  const std::optional<CalendarTime> t = DecodeDateTime(dt);
  if (!t) return {};
  std::tm parts{};
  parts.tm_year = static_cast<int>(t->date.year - 1900);
  parts.tm_mon = t->date.month - 1;
  parts.tm_mday = t->date.day;
  parts.tm_hour = t->hour;
  parts.tm_min = t->minute;
  parts.tm_sec = t->second;
  parts.tm_wday = Weekday(t->day) - 1;
  parts.tm_yday = DayOfYear(t->day) - 1;
  parts.tm_isdst = -1;
  std::array<char, 256> buf;
  const std::size_t n = locale ? strftime_l(buf.data(), buf.size(), pattern, &parts, locale)
                               : std::strftime(buf.data(), buf.size(), pattern, &parts);
  return std::string(buf.data(), n);
}

}  // namespace

std::string FormatDateTime(double dt, const char* pattern) {
  return Format(dt, pattern, TimeLocale());
}

std::string LocalDateString(double dt) {
  const locale_t locale = TimeLocale();
  const char* pattern = locale ? nl_langinfo_l(D_FMT, locale) : "%x";
  if (std::string_view(pattern) == "%m/%d/%y") pattern = "%Y-%m-%d";
  return Format(dt, pattern, locale);
}

std::string LocalTimeString(double dt) {
  const locale_t locale = TimeLocale();
  return Format(dt, locale ? nl_langinfo_l(T_FMT, locale) : "%X", locale);
}

}  // namespace px
