// The time stamp that opens a time-stamped log line.
#ifndef SKELVANE_COMMON_TIME_STAMP_H
#define SKELVANE_COMMON_TIME_STAMP_H

#include <ctime>
#include <string>

namespace skelvane {

// "dd-mm-yyyy hh:nn:ss": 24-hour clock, leading zeros, four-digit year.
std::string TimeStampText(const std::tm& time);

// The same text for the current local time.
std::string NowTimeStampText();

}  // namespace skelvane

#endif
