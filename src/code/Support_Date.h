// Dates and times as reals: the whole part counts days since 30 December
// 1899 (day 0), the fraction is the time of day (0.5 is noon). Before day 0
// the whole part still names the day and the fraction's size the time, so
// −1.25 is 29 December 1899 at 6:00. The calendar is the proleptic
// Gregorian one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace px {

inline constexpr double kMillisPerDay = 86400000.0;

bool IsLeapYear(std::int64_t year);
// 28 … 31; month 1 … 12.
int DaysInMonth(std::int64_t year, int month);

// The day number of a calendar date (month 1 … 12, day 1 … its length).
std::int64_t DayNumber(std::int64_t year, int month, int day);

struct CivilDate {
  std::int64_t year = 0;
  int month = 0;
  int day = 0;
};
CivilDate CivilFromDayNumber(std::int64_t day);

// 1 = Sunday … 7 = Saturday.
int Weekday(std::int64_t day);
// The ISO 8601 week number: weeks start on Monday, and week 1 is the one
// holding the year's first Thursday.
int IsoWeek(std::int64_t day);
// 1 for 1 January.
int DayOfYear(std::int64_t day);

// A day and a time of day (0 ≤ time < 1, or exactly 1 for 24:00) as one
// real.
double JoinDateTime(std::int64_t day, double time);

// A date-time's day (the whole part) and time of day (the fraction's size);
// nothing for NaN, infinities and values too far from day 0 to name a day
// (beyond ±10^11 days).
struct DayAndTime {
  std::int64_t day = 0;
  double time = 0.0;
};
std::optional<DayAndTime> SplitDateTime(double dt);

// A date-time taken apart to the millisecond; a time that rounds up to
// 24:00 is the next day's midnight.
struct CalendarTime {
  std::int64_t day = 0;  // the day number
  CivilDate date;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};
std::optional<CalendarTime> DecodeDateTime(double dt);

// Whether the parts name a date of years 1 … 9999, and a time of day
// (24:00:00 exactly included).
bool ValidDate(std::int64_t year, std::int64_t month, std::int64_t day);
bool ValidTime(std::int64_t hour, std::int64_t minute, std::int64_t second);
// The time of day of valid parts: 24:00:00 is 1.
double TimeOfDay(std::int64_t hour, std::int64_t minute, std::int64_t second);

// The date moved by whole months with its time of day kept; a day the
// target month lacks becomes its last day. Nothing where SplitDateTime
// gives nothing.
std::optional<double> AddMonths(double dt, std::int64_t months);

// The local date and time of a moment given in microseconds since
// 1970-01-01 00:00 UTC.
double LocalDateTime(std::int64_t unixMicros);

// The date and the time in the formats of the environment's locale (LC_TIME):
// its date format, except that the POSIX locale's two-digit-year date is
// written as year-month-day; and its time format. Empty where
// DecodeDateTime gives nothing.
std::string LocalDateString(double dt);
std::string LocalTimeString(double dt);
// The date and time in a strftime pattern.
std::string FormatDateTime(double dt, const char* pattern);

}  // namespace px
