// Fixed texts that more than one part of the system writes. They are used byte
// for byte; the Russian ones are UTF-8, the system's encoding.
#ifndef SKELVANE_COMMON_MESSAGES_H
#define SKELVANE_COMMON_MESSAGES_H

#include <string_view>

namespace skelvane::messages {

inline constexpr std::string_view kApplicationTitle = "Skelvane";
inline constexpr std::string_view kProgramVersion = "1.0.0.4";

// Opens the log line of a database error that ended an operation; the error's
// message follows directly.
inline constexpr std::string_view kDatabaseErrorReason = "Ошибка базы данных. причина:";

// Pieces of the log line of a rejected statement, in this order:
// kQueryError, kQueryErrorLine, line, kQueryErrorColumn, column, kQueryErrorReason, message.
inline constexpr std::string_view kQueryError = "Ошибка в запросе=";
inline constexpr std::string_view kQueryErrorLine = "Ошибка базы данных Строка:";
inline constexpr std::string_view kQueryErrorColumn = " колонка:";
inline constexpr std::string_view kQueryErrorReason = " причина:";

}  // namespace skelvane::messages

#endif
