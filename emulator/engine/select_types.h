// Compiled SQL expressions with the Oracle type they carry.
#ifndef ORAEMU_SELECT_TYPES_H
#define ORAEMU_SELECT_TYPES_H

#include <string>
#include <vector>

#include "engine/engine.h"

namespace oraemu::sel {

// Bool is the type of a condition; Any that of a bind variable, whose type
// the caller decides when it binds.
enum class VT { Null, Char, Number, Date, Long, Raw, Bool, Any };

struct Typed {
  std::string sql;  // SQLite expression
  VT type = VT::Null;
  ColumnDesc desc;
  bool literal = false;  // a text literal, whose value is `value`
  std::string value;
  // A column reference: the FROM item it reads, and for a looked-up name
  // (see dict::ViewColumn) its key column and lookup query.
  const void* source = nullptr;
  std::string lookupKey;
  std::string lookup;
  bool lookupUnique = false;
};

// SQLite parameters that carry the session: the user's USER# and name.
inline constexpr int kUserIdParam = 1;
inline constexpr int kUserNameParam = 2;
inline constexpr int kFirstBindParam = 3;

VT TypeOf(const ColumnDesc& d);
ColumnDesc VarcharDesc(int size);
ColumnDesc CharDesc(int size);
ColumnDesc NumberDesc();
ColumnDesc DateDesc();

// The expression converted for use where Oracle converts it implicitly.
std::string AsNumber(const Typed& t);
std::string AsText(const Typed& t);
// Makes a pair comparable as Oracle compares a number with a text: the text
// side is converted to a number.
void Unify(Typed& a, Typed& b);

// ORA-00997 when a LONG value is used anywhere but as a select-list item.
void RejectLong(const Typed& t, int offset);

// SQLite text literal of `s`.
std::string Quote(const std::string& s);

// Compiles a call of a built-in SQL function whose arguments are compiled.
// `aggregate` tells whether the name is a group function (the caller compiles
// such arguments in group context). Throws ORA-00904 for unknown names,
// ORA-00909 for a wrong argument count.
bool IsAggregate(const std::string& name);
Typed CompileFunction(const std::string& name, std::vector<Typed> args, bool star, bool distinct,
                      int offset);

}  // namespace oraemu::sel

#endif
