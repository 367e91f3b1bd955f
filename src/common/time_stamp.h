#pragma once
// The time stamp that opens a time-stamped log line.

#include <ctime>
#include <string>

namespace skelvane {

// "dd-mm-yyyy hh:nn:ss": 24-hour clock, leading zeros, four-digit year.
std::string TimeStampText(const std::tm& time);

// The same text for the current local time.
std::string NowTimeStampText();

}  // namespace skelvane
