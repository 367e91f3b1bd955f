// The log line of a statement the database refused, as the operations write it.
#ifndef SKELVANE_TESTS_SUPPORT_QUERY_ERROR_H
#define SKELVANE_TESTS_SUPPORT_QUERY_ERROR_H

#include <string>

namespace skelvane::testing {

inline constexpr const char* kQueryErrorPrefix = "Ошибка в запросе=Ошибка базы данных Строка:";

inline std::string QueryErrorText(int line, int column, const std::string& reason) {
  return kQueryErrorPrefix + std::to_string(line) + " колонка:" + std::to_string(column) +
         " причина:" + reason;
}

}  // namespace skelvane::testing

#endif
