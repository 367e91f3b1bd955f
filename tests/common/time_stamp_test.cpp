#include "common/time_stamp.h"

#include <gtest/gtest.h>

#include <string>

namespace skelvane {
namespace {

std::tm MakeTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(TimeStamp, DayMonthYearThen24HourTimeWithLeadingZeros) {
  EXPECT_EQ(TimeStampText(MakeTime(2024, 3, 7, 9, 5, 2)), "07-03-2024 09:05:02");
  EXPECT_EQ(TimeStampText(MakeTime(1999, 12, 31, 23, 59, 59)), "31-12-1999 23:59:59");
  EXPECT_EQ(TimeStampText(MakeTime(805, 1, 1, 0, 0, 0)), "01-01-0805 00:00:00");
}

TEST(TimeStamp, CurrentTimeHasTheSameShape) {
  const std::string now = NowTimeStampText();
  const std::string shape = "00-00-0000 00:00:00";
  ASSERT_EQ(now.size(), shape.size()) << now;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    if (shape[i] == '0') {
      EXPECT_TRUE(now[i] >= '0' && now[i] <= '9') << now;
    } else {
      EXPECT_EQ(now[i], shape[i]) << now;
    }
  }
}

}  // namespace
}  // namespace skelvane
