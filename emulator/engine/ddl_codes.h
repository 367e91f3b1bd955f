// OCI_ATTR_SQLFNCODE values: the OCI's own SQL command codes (the numbering
// in which INSERT is 3, SELECT 4, UPDATE 5 and DELETE 9).
#ifndef ORAEMU_DDL_CODES_H
#define ORAEMU_DDL_CODES_H

#include <cstdint>

namespace oraemu::fncode {

inline constexpr uint16_t kCreateTable = 1;
inline constexpr uint16_t kDropView = 7;
inline constexpr uint16_t kDropTable = 8;
inline constexpr uint16_t kCreateView = 10;
inline constexpr uint16_t kDropUser = 11;
inline constexpr uint16_t kCreateSequence = 13;
inline constexpr uint16_t kDropSequence = 16;
inline constexpr uint16_t kCreateUser = 19;
inline constexpr uint16_t kCreateIndex = 20;
inline constexpr uint16_t kDropIndex = 21;
inline constexpr uint16_t kCreateProcedure = 24;
inline constexpr uint16_t kAlterTable = 26;
inline constexpr uint16_t kGrant = 28;
inline constexpr uint16_t kRevoke = 29;
inline constexpr uint16_t kCreateSynonym = 30;
inline constexpr uint16_t kDropSynonym = 31;
inline constexpr uint16_t kComment = 38;
inline constexpr uint16_t kCreateDbLink = 42;
inline constexpr uint16_t kDropDbLink = 43;
inline constexpr uint16_t kAlterUser = 53;
inline constexpr uint16_t kCommit = 54;
inline constexpr uint16_t kRollback = 55;
inline constexpr uint16_t kCreateTrigger = 59;
inline constexpr uint16_t kAlterTrigger = 60;
inline constexpr uint16_t kDropTrigger = 61;
inline constexpr uint16_t kDropProcedure = 68;
inline constexpr uint16_t kCreateFunction = 91;
inline constexpr uint16_t kDropFunction = 93;
inline constexpr uint16_t kCreatePackage = 94;
inline constexpr uint16_t kDropPackage = 96;
inline constexpr uint16_t kCreatePackageBody = 97;

}  // namespace oraemu::fncode

#endif
