// Dates and times as reals. Expected day numbers were worked out with
// Python's datetime, e.g. (date(2008, 2, 29) - date(1899, 12, 30)).days is
// 39507; they are written here as numbers, not computed when testing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "code/Function_TestSupport.h"
#include "code/Support_Date.h"

namespace {

using namespace px;
using pxtest::Call;
using pxtest::CallReal;
using pxtest::Real;

TEST(Calendar, DayNumbersBothWays) {
  const struct {
    std::int64_t year;
    int month, day;
    std::int64_t number;
  } cases[] = {
      {1899, 12, 30, 0},    {1899, 12, 29, -1},      {1900, 1, 1, 2},       {1970, 1, 1, 25569},
      {2000, 1, 1, 36526},  {2008, 2, 29, 39507},    {2008, 12, 31, 39813}, {2009, 1, 1, 39814},
      {2009, 2, 28, 39872}, {2009, 3, 1, 39873},     {1600, 3, 1, -109511}, {2400, 2, 29, 182682},
      {1, 1, 1, -693593},   {9999, 12, 31, 2958465},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DayNumber(c.year, c.month, c.day), c.number) << c.year << "-" << c.month;
    const CivilDate d = CivilFromDayNumber(c.number);
    EXPECT_EQ(d.year, c.year) << c.number;
    EXPECT_EQ(d.month, c.month) << c.number;
    EXPECT_EQ(d.day, c.day) << c.number;
  }
}

// Consecutive day numbers walk the calendar one day at a time over the
// whole valid range, through every month end and leap day.
TEST(Calendar, ConsecutiveDaysFollowTheCalendar) {
  CivilDate expected{1, 1, 1};
  for (std::int64_t n = -693593; n <= 2958465; ++n) {
    const CivilDate d = CivilFromDayNumber(n);
    ASSERT_TRUE(d.year == expected.year && d.month == expected.month && d.day == expected.day) << n;
    if (++expected.day > DaysInMonth(expected.year, expected.month)) {
      expected.day = 1;
      if (++expected.month > 12) expected.month = 1, ++expected.year;
    }
  }
}

TEST(DateFunctions, PartsOfADate) {
  pxtest::TestRun run;
  // 2008-02-29 13:45:30, a Friday: 39507 + (13 × 3600 + 45 × 60 + 30) / 86400.
  const double d = Call(run, "date_create_datetime",
                        {Real(2008), Real(2), Real(29), Real(13), Real(45), Real(30)})
                       .real;
  EXPECT_DOUBLE_EQ(d, 39507.57326388889);
  const struct {
    const char* name;
    double value;
  } parts[] = {
      {"date_get_year", 2008},
      {"date_get_month", 2},
      {"date_get_day", 29},
      {"date_get_hour", 13},
      {"date_get_minute", 45},
      {"date_get_second", 30},
      {"date_get_weekday", 6},
      {"date_get_week", 9},
      {"date_get_day_of_year", 60},
      {"date_get_hour_of_year", 13 + 59 * 24},
      {"date_get_minute_of_year", 45 + (13 + 59 * 24) * 60},
      {"date_get_second_of_year", 30 + (45 + (13 + 59 * 24) * 60) * 60},
      {"date_days_in_month", 29},
      {"date_days_in_year", 366},
      {"date_leap_year", 1},
      {"date_date_of", 39507},
  };
  for (const auto& p : parts) EXPECT_EQ(CallReal(run, p.name, {d}), p.value) << p.name;
  EXPECT_NEAR(CallReal(run, "date_time_of", {d}), 0.57326388889, 1e-11);
}

TEST(DateFunctions, WeeksWeekdaysAndYearLengths) {
  const struct {
    double day;
    double isoWeek, weekday, dayOfYear, daysInYear, daysInMonth;
  } cases[] = {
      {40179, 53, 6, 1, 365, 31},    // 2010-01-01, a Friday, in week 53 of 2009
      {39811, 1, 2, 364, 366, 31},   // 2008-12-29, a Monday, week 1 of 2009
      {38354, 53, 1, 2, 365, 31},    // 2005-01-02, a Sunday
      {44199, 53, 1, 3, 365, 31},    // 2021-01-03
      {42369, 53, 5, 365, 365, 31},  // 2015-12-31
      {43465, 1, 2, 365, 365, 31},   // 2018-12-31
      {45366, 11, 6, 75, 366, 31},   // 2024-03-15
      {38352, 53, 6, 366, 366, 31},  // 2004-12-31
      {36526, 52, 7, 1, 366, 31},    // 2000-01-01, a Saturday
      {39872, 9, 7, 59, 365, 28},    // 2009-02-28
      {73109, 8, 1, 59, 365, 28},    // 2100-02-28: 2100 is no leap year
      {0, 52, 7, 364, 365, 31},      // 1899-12-30
  };
  for (const auto& c : cases) {
    pxtest::TestRun run;
    EXPECT_EQ(CallReal(run, "date_get_week", {c.day}), c.isoWeek) << c.day;
    EXPECT_EQ(CallReal(run, "date_get_weekday", {c.day}), c.weekday) << c.day;
    EXPECT_EQ(CallReal(run, "date_get_day_of_year", {c.day}), c.dayOfYear) << c.day;
    EXPECT_EQ(CallReal(run, "date_days_in_year", {c.day}), c.daysInYear) << c.day;
    EXPECT_EQ(CallReal(run, "date_days_in_month", {c.day}), c.daysInMonth) << c.day;
  }
}

TEST(DateFunctions, MakingAndCheckingDates) {
  const struct {
    std::vector<double> date;  // year, month, day
    double value;              // 0 when invalid
  } dates[] = {
      {{2008, 2, 29}, 39507}, {{2009, 2, 29}, 0},        {{1900, 2, 29}, 0},
      {{2000, 2, 29}, 36585}, {{2009, 12.5, 31}, 40178},  // 12.5 rounds to 12
      {{2009, 1, 31.5}, 0},                               // 31.5 rounds to 32
      {{1, 1, 1}, -693593},   {{9999, 12, 31}, 2958465}, {{0, 1, 1}, 0},
      {{10000, 1, 1}, 0},     {{-1, 1, 1}, 0},           {{2009, 13, 1}, 0},
      {{2009, 0, 1}, 0},      {{65537 + 2008, 1, 1}, 0},  // not wrapped to 16 bits
      {{1e300, 1, 1}, 0},
  };
  for (const auto& c : dates) {
    pxtest::TestRun run;
    const double y = c.date[0], m = c.date[1], d = c.date[2];
    EXPECT_EQ(CallReal(run, "date_create_date", {y, m, d}), c.value) << y << "-" << m << "-" << d;
    const double valid = c.value != 0 ? 1 : 0;
    EXPECT_EQ(CallReal(run, "date_valid_date", {y, m, d}), valid) << y << "-" << m << "-" << d;
    EXPECT_EQ(CallReal(run, "date_valid_datetime", {y, m, d, 12, 0, 0}), valid);
    // Noon: half a day on from the day, or before day 0 the day − 0.5.
    const double noon = c.value == 0 ? 0 : c.value > 0 ? c.value + 0.5 : c.value - 0.5;
    EXPECT_EQ(CallReal(run, "date_create_datetime", {y, m, d, 12, 0, 0}), noon);
  }

  const struct {
    double hour, minute, second;
    double value;  // −1 when invalid
  } times[] = {
      {0, 0, 0, 0},      {12, 0, 0, 0.5}, {18, 0, 0, 0.75}, {23, 59, 59, 86399.0 / 86400},
      {24, 0, 0, 1},  // the next midnight
      {24, 0, 1, -1},    {12, 60, 0, -1}, {12, 0, 60, -1},  {-1, 0, 0, -1},
      {65535, 0, 0, -1},
  };
  for (const auto& c : times) {
    pxtest::TestRun run;
    const double valid = c.value >= 0 ? 1 : 0;
    EXPECT_EQ(CallReal(run, "date_valid_time", {c.hour, c.minute, c.second}), valid) << c.hour;
    EXPECT_EQ(CallReal(run, "date_create_time", {c.hour, c.minute, c.second}), valid ? c.value : 0)
        << c.hour;
  }

  pxtest::TestRun run;
  // 2008-12-31 24:00:00 is 2009-01-01 00:00.
  EXPECT_EQ(CallReal(run, "date_create_datetime", {2008, 12, 31, 24, 0, 0}), 39814);
  EXPECT_EQ(CallReal(run, "date_valid_datetime", {2008, 12, 31, 24, 0, 0}), 1);
}

TEST(DateFunctions, MonthsAndYearsAcrossTheirEnds) {
  const struct {
    const char* name;
    double date, amount, expected;
  } cases[] = {
      {"date_inc_month", 39844, 1, 39872},        // 2009-01-31 → 2009-02-28
      {"date_inc_month", 39478, 1, 39507},        // 2008-01-31 → 2008-02-29
      {"date_inc_month", 39538, -1, 39507},       // 2008-03-31 → 2008-02-29
      {"date_inc_month", 40162, 1, 40193},        // 2009-12-15 → 2010-01-15
      {"date_inc_month", 40193, -1, 40162},       // 2010-01-15 → 2009-12-15
      {"date_inc_month", 39964, 13, 40359},       // 2009-05-31 → 2010-06-30
      {"date_inc_month", 39752, -20, 39141},      // 2008-10-31 → 2007-02-28
      {"date_inc_month", 39844, 0.5, 39844},      // 0.5 rounds to 0
      {"date_inc_month", 39844.75, 1, 39872.75},  // 18:00 kept
      {"date_inc_year", 39507, 1, 39872},         // 2008-02-29 → 2009-02-28
      {"date_inc_year", 39507, 4, 40968},         // → 2012-02-29
      {"date_inc_year", 36585, 100, 73109},       // 2000-02-29 → 2100-02-28
      {"date_inc_year", 39872.75, -1, 39506.75},  // 2009-02-28 18:00 → 2008-02-28 18:00
      {"date_inc_day", 39813, 1, 39814},          // 2008-12-31 → 2009-01-01
      {"date_inc_day", 39506, 1, 39507},          // 2008-02-28 → 2008-02-29
      {"date_inc_day", 39872, 1, 39873},          // 2009-02-28 → 2009-03-01
      {"date_inc_day", 39872, 1.5, 39874},        // amounts are rounded
      {"date_inc_week", 39811, -1, 39804},       {"date_inc_hour", 39813.75, 12, 39814.25},
  };
  for (const auto& c : cases) {
    pxtest::TestRun run;
    EXPECT_DOUBLE_EQ(CallReal(run, c.name, {c.date, c.amount}), c.expected)
        << c.name << " " << c.date << " " << c.amount;
  }
}

TEST(DateFunctions, HoursMinutesAndSecondsCarryIntoTheNextDay) {
  pxtest::TestRun run;
  // 1999-12-31 23:59:59 plus one second is 2000-01-01 00:00:00.
  const double last = CallReal(run, "date_create_datetime", {1999, 12, 31, 23, 59, 59});
  const double next = CallReal(run, "date_inc_second", {last, 1});
  EXPECT_EQ(CallReal(run, "date_get_year", {next}), 2000);
  EXPECT_EQ(CallReal(run, "date_get_day_of_year", {next}), 1);
  EXPECT_EQ(CallReal(run, "date_get_hour", {next}), 0);
  EXPECT_EQ(CallReal(run, "date_get_second", {next}), 0);
  // 2008-12-31 23:00 plus 120 minutes is 2009-01-01 01:00.
  const double later = CallReal(run, "date_inc_minute", {39813 + 23.0 / 24, 120});
  EXPECT_EQ(CallReal(run, "date_get_year", {later}), 2009);
  EXPECT_EQ(CallReal(run, "date_get_hour", {later}), 1);
  EXPECT_EQ(CallReal(run, "date_get_minute", {later}), 0);
  // A moment a tenth of a millisecond before midnight is the next day.
  const double almost = 39813 + 1 - 0.0001 / 86400000;
  EXPECT_EQ(CallReal(run, "date_get_day", {almost}), 1);
  EXPECT_EQ(CallReal(run, "date_get_hour", {almost}), 0);
}

// Before day 0 the whole part names the day and the fraction's size the
// time: −1.25 is 1899-12-29 06:00.
TEST(DateFunctions, DatesBeforeDayZero) {
  pxtest::TestRun run;
  const double d = CallReal(run, "date_create_datetime", {1899, 12, 29, 6, 0, 0});
  EXPECT_EQ(d, -1.25);
  EXPECT_EQ(CallReal(run, "date_get_day", {d}), 29);
  EXPECT_EQ(CallReal(run, "date_get_hour", {d}), 6);
  EXPECT_EQ(CallReal(run, "date_time_of", {d}), 0.25);
  EXPECT_EQ(CallReal(run, "date_date_of", {d}), -1);
  // An hour later is 07:00 of the same day, and 18 hours later 00:00 of day 0.
  const double later = CallReal(run, "date_inc_hour", {d, 1});
  EXPECT_EQ(CallReal(run, "date_get_hour", {later}), 7);
  EXPECT_EQ(CallReal(run, "date_get_day", {later}), 29);
  EXPECT_EQ(CallReal(run, "date_inc_hour", {d, 18}), 0);
  EXPECT_EQ(CallReal(run, "date_hour_span", {d, 0}), 18);
  EXPECT_EQ(CallReal(run, "date_compare_datetime", {d, CallReal(run, "date_inc_hour", {d, 1})}),
            -1);
}

TEST(DateFunctions, SpansAndComparisons) {
  const double ms = 1.0 / 86400000;
  const struct {
    const char* name;
    double a, b, expected;
  } cases[] = {
      {"date_year_span", 39507, 39507 + 730.5, 2},
      {"date_month_span", 39507 + 30.4375, 39507, 1},
      {"date_week_span", 39507, 39521, 2},
      {"date_day_span", 39507.25, 39505, 2.25},
      {"date_hour_span", 39507, 39507.5, 12},
      {"date_minute_span", 39507, 39507 + 1.0 / 24, 60},
      {"date_second_span", 39507 + 1.0 / 1440, 39507, 60},
      {"date_compare_datetime", 39507.5, 39507.5 + 0.5 * ms, 0},
      {"date_compare_datetime", 39507.5, 39507.5 + 2 * ms, -1},
      {"date_compare_datetime", 39507.5 + 2 * ms, 39507.5, 1},
      {"date_compare_date", 39507.1, 39507.9, 0},
      {"date_compare_date", 39507.9, 39508.1, -1},
      {"date_compare_date", 39508.1, 39507.9, 1},
      {"date_compare_time", 39507.25, 40000.25 + 0.5 * ms, 0},
      {"date_compare_time", 39507.25, 39000.75, -1},
      {"date_compare_time", 39507.75, 39600.25, 1},
  };
  for (const auto& c : cases) {
    pxtest::TestRun run;
    // Reals near day 40000 hold a moment to about a microsecond.
    EXPECT_NEAR(CallReal(run, c.name, {c.a, c.b}), c.expected, 1e-6) << c.name;
  }
}

TEST(DateFunctions, ValuesWithNoDate) {
  pxtest::TestRun run;
  for (const double v : {std::nan(""), 1e300, -1e300}) {
    EXPECT_EQ(CallReal(run, "date_get_year", {v}), 0) << v;
    EXPECT_EQ(CallReal(run, "date_leap_year", {v}), 0) << v;
    EXPECT_EQ(Call(run, "date_date_string", {Real(v)}), pxtest::Str("")) << v;
    EXPECT_EQ(CallReal(run, "date_is_today", {v}), 0) << v;
  }
}

// The headless clock starts at the real time and moves only with waits.
TEST(DateFunctions, NowFollowsThePlatformClock) {
  pxtest::TestRun run;
  const double now = CallReal(run, "date_current_datetime", {});
  EXPECT_EQ(CallReal(run, "date_current_datetime", {}), now);
  EXPECT_EQ(CallReal(run, "date_current_date", {}), std::floor(now));
  EXPECT_EQ(CallReal(run, "date_current_time", {}), now - std::floor(now));
  EXPECT_EQ(CallReal(run, "date_is_today", {now}), 1);
  EXPECT_EQ(CallReal(run, "date_is_today", {std::floor(now)}), 1);
  EXPECT_EQ(CallReal(run, "date_is_today", {now - 1}), 0);
  EXPECT_EQ(CallReal(run, "date_is_today", {now + 1}), 0);
  const std::time_t wall = std::time(nullptr);
  std::tm local{};
  localtime_r(&wall, &local);
  EXPECT_NEAR(now,
              CallReal(run, "date_create_date",
                       {local.tm_year + 1900.0, local.tm_mon + 1.0, local.tm_mday + 0.0}),
              1.0);
  run.platform->waitMicros(2'000'000);
  EXPECT_NEAR(CallReal(run, "date_current_datetime", {}) - now, 2.0 / 86400, 1e-9);
}

// Local time in fixed zones given as POSIX TZ rules.
TEST(Calendar, LocalTimeOfAMoment) {
  const char* saved = std::getenv("TZ");
  const std::string previous = saved ? saved : "";
  const struct {
    const char* zone;
    std::int64_t micros;
    double expected;
  } cases[] = {
      {"UTC0", 0, 25569},
      {"UTC0", 86400'000000LL + 43200'000000LL, 25570.5},
      {"UTC0", -1, 25569 - 1e-6 / 86400},
      {"EST5", 0, 25569 - 5.0 / 24},  // five hours behind
      {"JST-9", 1'000'000, 25569 + (9 * 3600 + 1) / 86400.0},
  };
  for (const auto& c : cases) {
    setenv("TZ", c.zone, 1);
    tzset();
    EXPECT_NEAR(LocalDateTime(c.micros), c.expected, 1e-10) << c.zone << " " << c.micros;
  }
  if (saved) {
    setenv("TZ", previous.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

TEST(DateFunctions, TextsLeaveOutMidnight) {
  pxtest::TestRun run;
  const auto text = [&](const char* name, double d) { return Call(run, name, {Real(d)}).str(); };
  EXPECT_EQ(text("date_datetime_string", 39507), text("date_date_string", 39507));
  EXPECT_EQ(text("date_datetime_string", 39507.5),
            text("date_date_string", 39507.5) + " " + text("date_time_string", 39507.5));
  EXPECT_NE(text("date_date_string", 39507), text("date_date_string", 39508));
  EXPECT_NE(text("date_time_string", 0.25), text("date_time_string", 0.5));
  EXPECT_EQ(FormatDateTime(39507.57326388889, "%Y-%m-%d %H:%M:%S %j"), "2008-02-29 13:45:30 060");
}

}  // namespace
