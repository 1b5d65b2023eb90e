// Dates and times for game code, as reals (see Support_Date.h). Calendar
// and clock parts given as arguments are rounded, halves to even; so are the
// amounts of the date_inc_ functions.
#include "library/Function_Date.h"

#include <algorithm>
#include <cmath>

#include "code/Support_Date.h"
#include "library/Function_Support.h"
#include "run/Runtime.h"

namespace px {

namespace {

constexpr double kMillisecond = 1.0 / kMillisPerDay;

// ---- Now ----

double Now(Runtime& rt) {
  return LocalDateTime(rt.platform.unixTimeMicros());
}

void CurrentDateTime(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                     const FunctionArgs&) {
  result.setReal(Now(rt));
}

void CurrentDate(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs&) {
  result.setReal(std::floor(Now(rt)));
}

void CurrentTime(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                 const FunctionArgs&) {
  const double now = Now(rt);
  result.setReal(now - std::floor(now));
}

void IsToday(Runtime& rt, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
             const FunctionArgs& args) {
  const std::optional<DayAndTime> date = SplitDateTime(args[0].real);
  result.setReal(Truth(date && date->day == SplitDateTime(Now(rt))->day));
}

// ---- Making dates ----

bool ValidParts(double y, double mo, double d) {
  return ValidDate(RealToCount(y), RealToCount(mo), RealToCount(d));
}

bool ValidClock(double h, double mi, double s) {
  return ValidTime(RealToCount(h), RealToCount(mi), RealToCount(s));
}

double Time(double h, double mi, double s) {
  return TimeOfDay(RealToCount(h), RealToCount(mi), RealToCount(s));
}

std::int64_t Day(double y, double mo, double d) {
  return DayNumber(RealToCount(y), static_cast<int>(RealToCount(mo)),
                   static_cast<int>(RealToCount(d)));
}

// 24:00:00 is the next midnight.
double CreateDateTime(double y, double mo, double d, double h, double mi, double s) {
  if (!ValidParts(y, mo, d) || !ValidClock(h, mi, s)) return 0.0;
  return JoinDateTime(Day(y, mo, d), Time(h, mi, s));
}

double CreateDate(double y, double mo, double d) {
  return ValidParts(y, mo, d) ? static_cast<double>(Day(y, mo, d)) : 0.0;
}

double CreateTime(double h, double mi, double s) {
  return ValidClock(h, mi, s) ? Time(h, mi, s) : 0.0;
}

double ValidDateTime(double y, double mo, double d, double h, double mi, double s) {
  return Truth(ValidParts(y, mo, d) && ValidClock(h, mi, s));
}

double IsValidDate(double y, double mo, double d) {
  return Truth(ValidParts(y, mo, d));
}

double IsValidTime(double h, double mi, double s) {
  return Truth(ValidClock(h, mi, s));
}

// ---- Moving dates ----

// A date-time as a point on one time line: the day plus the time of day.
// It equals the real itself from day 0 on; before day 0 the real's fraction
// counts the other way.
double Instant(double dt) {
  const std::optional<DayAndTime> split = SplitDateTime(dt);
  return split ? static_cast<double>(split->day) + split->time : dt;
}

double FromInstant(double instant) {
  if (!std::isfinite(instant)) return instant;
  const double day = std::floor(instant);
  const std::optional<DayAndTime> split = SplitDateTime(day);
  return split ? JoinDateTime(split->day, instant - day) : instant;
}

template <int UnitsPerDay>
double IncBy(double dt, double amount) {
  return FromInstant(Instant(dt) + std::nearbyint(amount) / UnitsPerDay);
}

double IncWeek(double dt, double amount) {
  return FromInstant(Instant(dt) + 7.0 * std::nearbyint(amount));
}

// Months beyond a billion years are held there; such dates have no parts.
double IncMonths(double dt, double months) {
  constexpr double kLimit = 12e9;
  const auto n = static_cast<std::int64_t>(std::clamp(std::nearbyint(months), -kLimit, kLimit));
  return std::isnan(months) ? dt : AddMonths(dt, n).value_or(dt);
}

double IncYear(double dt, double amount) {
  return IncMonths(dt, std::nearbyint(amount) * 12.0);
}

// ---- Parts ----

// The value of `part` for a date that has parts, else 0.
template <class Part>
double PartOf(double dt, Part part) {
  const std::optional<CalendarTime> t = DecodeDateTime(dt);
  return t ? static_cast<double>(part(*t)) : 0.0;
}

double GetYear(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return t.date.year; });
}
double GetMonth(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return t.date.month; });
}
double GetWeek(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return IsoWeek(t.day); });
}
double GetDay(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return t.date.day; });
}
double GetHour(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return t.hour; });
}
double GetMinute(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return t.minute; });
}
double GetSecond(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return t.second; });
}
double GetWeekday(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return Weekday(t.day); });
}
double GetDayOfYear(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return DayOfYear(t.day); });
}

std::int64_t HourOfYear(const CalendarTime& t) {
  return t.hour + (DayOfYear(t.day) - 1) * std::int64_t{24};
}
std::int64_t MinuteOfYear(const CalendarTime& t) {
  return t.minute + HourOfYear(t) * 60;
}

double GetHourOfYear(double dt) {
  return PartOf(dt, HourOfYear);
}
double GetMinuteOfYear(double dt) {
  return PartOf(dt, MinuteOfYear);
}
double GetSecondOfYear(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return t.second + MinuteOfYear(t) * 60; });
}

double DaysInMonthOf(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return DaysInMonth(t.date.year, t.date.month); });
}
double DaysInYearOf(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return IsLeapYear(t.date.year) ? 366 : 365; });
}
double LeapYearOf(double dt) {
  return PartOf(dt, [](const CalendarTime& t) { return IsLeapYear(t.date.year) ? 1 : 0; });
}

double DateOf(double dt) {
  const std::optional<DayAndTime> split = SplitDateTime(dt);
  return split ? static_cast<double>(split->day) : std::trunc(dt);
}

double TimeOf(double dt) {
  const std::optional<DayAndTime> split = SplitDateTime(dt);
  return split ? split->time : 0.0;
}

// ---- Spans and comparisons ----

// |date1 − date2| in days; the other spans scale it.
double DaySpan(double a, double b) {
  return std::fabs(Instant(a) - Instant(b));
}
double HourSpan(double a, double b) {
  return DaySpan(a, b) * 24;
}
double MinuteSpan(double a, double b) {
  return DaySpan(a, b) * 1440;
}
double SecondSpan(double a, double b) {
  return DaySpan(a, b) * 86400;
}
double WeekSpan(double a, double b) {
  return DaySpan(a, b) / 7;
}
double MonthSpan(double a, double b) {
  return DaySpan(a, b) / 30.4375;
}
double YearSpan(double a, double b) {
  return DaySpan(a, b) / 365.25;
}

// −1, 0 or 1; equal within one millisecond.
double CompareWithin(double a, double b, double tolerance) {
  if (std::fabs(a - b) < tolerance) return 0.0;
  return a < b ? -1.0 : 1.0;
}

double CompareDateTime(double a, double b) {
  return CompareWithin(Instant(a), Instant(b), kMillisecond);
}

double CompareDate(double a, double b) {
  return CompareWithin(DateOf(a), DateOf(b), 0.5);
}

double CompareTime(double a, double b) {
  return CompareWithin(TimeOf(a), TimeOf(b), kMillisecond);
}

// ---- Text ----

// The date, then the time unless it is exactly midnight.
void DateTimeString(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                    const FunctionArgs& args) {
  const double dt = args[0].real;
  std::string text = LocalDateString(dt);
  if (!text.empty() && TimeOf(dt) != 0.0) text += ' ' + LocalTimeString(dt);
  result.setString(std::move(text));
}

void DateString(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                const FunctionArgs& args) {
  result.setString(LocalDateString(args[0].real));
}

void TimeString(Runtime&, CInstanceBase*, CInstanceBase*, std::int32_t, RValue& result,
                const FunctionArgs& args) {
  result.setString(LocalTimeString(args[0].real));
}

constexpr FunctionDef kDateFunctions[] = {
    {"date_current_datetime", CurrentDateTime},
    {"date_current_date", CurrentDate},
    {"date_current_time", CurrentTime},
    {"date_create_datetime", RealHandler<CreateDateTime>},
    {"date_create_date", RealHandler<CreateDate>},
    {"date_create_time", RealHandler<CreateTime>},
    {"date_valid_datetime", RealHandler<ValidDateTime>},
    {"date_valid_date", RealHandler<IsValidDate>},
    {"date_valid_time", RealHandler<IsValidTime>},
    {"date_inc_year", RealHandler<IncYear>},
    {"date_inc_month", RealHandler<IncMonths>},
    {"date_inc_week", RealHandler<IncWeek>},
    {"date_inc_day", RealHandler<IncBy<1>>},
    {"date_inc_hour", RealHandler<IncBy<24>>},
    {"date_inc_minute", RealHandler<IncBy<1440>>},
    {"date_inc_second", RealHandler<IncBy<86400>>},
    {"date_get_year", RealHandler<GetYear>},
    {"date_get_month", RealHandler<GetMonth>},
    {"date_get_week", RealHandler<GetWeek>},
    {"date_get_day", RealHandler<GetDay>},
    {"date_get_hour", RealHandler<GetHour>},
    {"date_get_minute", RealHandler<GetMinute>},
    {"date_get_second", RealHandler<GetSecond>},
    {"date_get_weekday", RealHandler<GetWeekday>},
    {"date_get_day_of_year", RealHandler<GetDayOfYear>},
    {"date_get_hour_of_year", RealHandler<GetHourOfYear>},
    {"date_get_minute_of_year", RealHandler<GetMinuteOfYear>},
    {"date_get_second_of_year", RealHandler<GetSecondOfYear>},
    {"date_year_span", RealHandler<YearSpan>},
    {"date_month_span", RealHandler<MonthSpan>},
    {"date_week_span", RealHandler<WeekSpan>},
    {"date_day_span", RealHandler<DaySpan>},
    {"date_hour_span", RealHandler<HourSpan>},
    {"date_minute_span", RealHandler<MinuteSpan>},
    {"date_second_span", RealHandler<SecondSpan>},
    {"date_compare_datetime", RealHandler<CompareDateTime>},
    {"date_compare_date", RealHandler<CompareDate>},
    {"date_compare_time", RealHandler<CompareTime>},
    {"date_date_of", RealHandler<DateOf>},
    {"date_time_of", RealHandler<TimeOf>},
    {"date_datetime_string", DateTimeString},
    {"date_date_string", DateString},
    {"date_time_string", TimeString},
    {"date_days_in_month", RealHandler<DaysInMonthOf>},
    {"date_days_in_year", RealHandler<DaysInYearOf>},
    {"date_leap_year", RealHandler<LeapYearOf>},
    {"date_is_today", IsToday},
};

}  // namespace

std::span<const FunctionDef> DateFunctions() {
  return kDateFunctions;
}

}  // namespace px
