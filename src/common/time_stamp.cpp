#include "common/time_stamp.h"

#include <cstdio>

namespace skelvane {

std::string TimeStampText(const std::tm& time) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d %02d:%02d:%02d", time.tm_mday,
                time.tm_mon + 1, time.tm_year + 1900, time.tm_hour, time.tm_min, time.tm_sec);
  return buffer;
}

std::string NowTimeStampText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return TimeStampText(local);
}

}  // namespace skelvane
