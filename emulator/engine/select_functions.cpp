// Oracle's built-in SQL functions over SQLite. Texts are bytes: lengths and
// positions count bytes, as in a single-byte character set.
#include <algorithm>
#include <cctype>
#include <string>

#include "engine/errors.h"
#include "engine/select_types.h"

namespace oraemu::sel {

VT TypeOf(const ColumnDesc& d) {
  switch (d.type) {
    case 1: case 96: return VT::Char;
    case 2: return VT::Number;
    case 12: return VT::Date;
    case 8: return VT::Long;
    case 23: return VT::Raw;
    default: return VT::Char;
  }
}

ColumnDesc VarcharDesc(int size) {
  ColumnDesc d;
  d.type = 1;
  d.size = static_cast<uint16_t>(size);
  d.charSize = d.size;
  return d;
}
ColumnDesc CharDesc(int size) {
  ColumnDesc d = VarcharDesc(size);
  d.type = 96;
  return d;
}
ColumnDesc NumberDesc() {
  ColumnDesc d;
  d.type = 2;
  d.size = 22;
  d.precision = 0;
  d.scale = -127;
  return d;
}
ColumnDesc DateDesc() {
  ColumnDesc d;
  d.type = 12;
  d.size = 7;
  return d;
}

std::string AsNumber(const Typed& t) {
  if (t.type == VT::Char || t.type == VT::Any) return "CAST(" + t.sql + " AS NUMERIC)";
  return t.sql;
}
std::string AsText(const Typed& t) {
  if (t.type == VT::Number) return "CAST(" + t.sql + " AS TEXT)";
  return t.sql;
}

void Unify(Typed& a, Typed& b) {
  bool aText = a.type == VT::Char || a.type == VT::Any;
  bool bText = b.type == VT::Char || b.type == VT::Any;
  if (a.type == VT::Number && bText) b.sql = AsNumber(b);
  else if (b.type == VT::Number && aText) a.sql = AsNumber(a);
}

void RejectLong(const Typed& t, int offset) {
  if (t.type == VT::Long) Raise(997, offset);
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

bool IsAggregate(const std::string& name) {
  return name == "COUNT" || name == "SUM" || name == "MIN" || name == "MAX" || name == "AVG";
}

namespace {

Typed Result(std::string sql, VT type, ColumnDesc desc) {
  Typed t;
  t.sql = std::move(sql);
  t.type = type;
  t.desc = desc;
  return t;
}
Typed Number(std::string sql) { return Result(std::move(sql), VT::Number, NumberDesc()); }
Typed Varchar(std::string sql, int size) { return Result(std::move(sql), VT::Char, VarcharDesc(size)); }

int SizeOf(const Typed& t) {
  if (t.type == VT::Number) return 40;
  if (t.type == VT::Date) return 19;
  return t.desc.size ? t.desc.size : 1;
}

// Converts `t` to the type `target` where Oracle would convert implicitly.
std::string ConvertTo(const Typed& t, VT target) {
  if (target == VT::Number) return AsNumber(t);
  if (target == VT::Char) return AsText(t);
  return t.sql;
}

// The type that the first non-NULL of `candidates` carries (Oracle types a
// CASE or DECODE by its first result; NULL alone counts as VARCHAR2).
const Typed* FirstTyped(const std::vector<const Typed*>& candidates) {
  for (const Typed* t : candidates)
    if (t->type != VT::Null) return t;
  return nullptr;
}

Typed Decode(std::vector<Typed>& a, int offset) {
  if (a.size() < 3) Raise(938, offset);
  Typed& expr = a[0];
  std::vector<const Typed*> results;
  for (size_t i = 2; i < a.size(); i += 2) results.push_back(&a[i]);
  if (a.size() % 2 == 0) results.push_back(&a.back());
  const Typed* first = FirstTyped({&a[2]});
  VT type = first ? first->type : VT::Char;
  if (type == VT::Any || type == VT::Null) type = VT::Char;
  int size = 0;
  for (const Typed* r : results) size = std::max(size, SizeOf(*r));
  std::string sql = "CASE";
  for (size_t i = 1; i + 1 < a.size(); i += 2) {
    Typed e = expr, s = a[i];
    Unify(e, s);
    sql += " WHEN " + e.sql + " IS " + s.sql + " THEN " + ConvertTo(a[i + 1], type);
  }
  if (a.size() % 2 == 0) sql += " ELSE " + ConvertTo(a.back(), type);
  sql += " END";
  ColumnDesc d = type == VT::Number ? NumberDesc() : type == VT::Date ? DateDesc() : VarcharDesc(size);
  return Result(sql, type, d);
}

void ArgCount(const std::vector<Typed>& a, size_t min, size_t max, int offset) {
  if (a.size() < min || a.size() > max) Raise(909, offset);
}

std::string NullIfEmpty(const std::string& sql) { return "NULLIF(" + sql + ", '')"; }

std::string Bytes(const std::string& sql) { return "CAST(" + sql + " AS BLOB)"; }

// An Oracle date format made of YYYY, MM, DD, HH24, HH, MI, SS and
// punctuation, as a strftime format.
bool DateFormat(const std::string& oracle, std::string& out) {
  static const struct {
    const char* element;
    const char* strftime;
  } elements[] = {{"YYYY", "%Y"}, {"HH24", "%H"}, {"MM", "%m"}, {"DD", "%d"}, {"MI", "%M"}, {"SS", "%S"}};
  std::string upper = oracle;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  out.clear();
  for (size_t i = 0; i < upper.size();) {
    bool matched = false;
    for (const auto& e : elements) {
      size_t n = std::char_traits<char>::length(e.element);
      if (upper.compare(i, n, e.element) == 0) {
        out += e.strftime;
        i += n;
        matched = true;
        break;
      }
    }
    if (matched) continue;
    char c = upper[i++];
    if (std::isalnum(static_cast<unsigned char>(c))) return false;
    if (c == '%') out += '%';
    out += c;
  }
  return true;
}

}  // namespace

Typed CompileFunction(const std::string& name, std::vector<Typed> a, bool star, bool distinct, int offset) {
  for (const Typed& t : a) RejectLong(t, offset);
  if (IsAggregate(name)) {
    if (star) {
      if (name != "COUNT") Raise(936, offset);
      return Number("count(*)");
    }
    ArgCount(a, 1, 1, offset);
    std::string arg = (distinct ? "DISTINCT " : "") + a[0].sql;
    if (name == "COUNT") return Number("count(" + arg + ")");
    if (name == "SUM" || name == "AVG") return Number(name == "SUM" ? "sum(" + AsNumber(a[0]) + ")" : "avg(" + AsNumber(a[0]) + ")");
    Typed t = a[0];
    t.sql = (name == "MIN" ? "min(" : "max(") + arg + ")";
    t.desc.nullable = true;
    t.literal = false;
    return t;
  }
  if (star) Raise(936, offset);
  if (name == "DECODE") return Decode(a, offset);
  if (name == "NVL") {
    ArgCount(a, 2, 2, offset);
    const Typed& base = a[0].type == VT::Null ? a[1] : a[0];
    VT type = base.type == VT::Any ? VT::Char : base.type;
    Typed t = Result("ifnull(" + ConvertTo(a[0], type) + ", " + ConvertTo(a[1], type) + ")", type, base.desc);
    if (type == VT::Char) t.desc = VarcharDesc(std::max(SizeOf(a[0]), SizeOf(a[1])));
    return t;
  }
  if (name == "NVL2") {
    ArgCount(a, 3, 3, offset);
    VT type = a[1].type == VT::Null ? a[2].type : a[1].type;
    if (type == VT::Any || type == VT::Null) type = VT::Char;
    Typed t = Result("CASE WHEN " + a[0].sql + " IS NOT NULL THEN " + ConvertTo(a[1], type) + " ELSE " +
                         ConvertTo(a[2], type) + " END",
                     type, type == VT::Number ? NumberDesc() : VarcharDesc(std::max(SizeOf(a[1]), SizeOf(a[2]))));
    if (type == VT::Date) t.desc = DateDesc();
    return t;
  }
  if (name == "COALESCE") {
    if (a.size() < 2) Raise(938, offset);
    std::vector<const Typed*> all;
    for (const Typed& t : a) all.push_back(&t);
    const Typed* first = FirstTyped(all);
    VT type = first && first->type != VT::Any ? first->type : VT::Char;
    std::string sql = "coalesce(";
    int size = 0;
    for (size_t i = 0; i < a.size(); ++i) {
      sql += (i ? ", " : "") + ConvertTo(a[i], type);
      size = std::max(size, SizeOf(a[i]));
    }
    ColumnDesc d = type == VT::Number ? NumberDesc() : type == VT::Date ? DateDesc() : VarcharDesc(size);
    return Result(sql + ")", type, d);
  }
  if (name == "UPPER" || name == "LOWER") {
    ArgCount(a, 1, 1, offset);
    return Varchar((name == "UPPER" ? "upper(" : "lower(") + AsText(a[0]) + ")", SizeOf(a[0]));
  }
  if (name == "LENGTH") {
    ArgCount(a, 1, 1, offset);
    return Number("length(" + Bytes(AsText(a[0])) + ")");
  }
  if (name == "SUBSTR") {
    ArgCount(a, 2, 3, offset);
    std::string p = AsNumber(a[1]);
    std::string start = "CASE WHEN " + p + " = 0 THEN 1 ELSE " + p + " END";
    std::string body = "CAST(substr(" + Bytes(AsText(a[0])) + ", " + start;
    if (a.size() == 3) {
      std::string n = AsNumber(a[2]);
      body += ", " + n + ") AS TEXT)";
      return Varchar("CASE WHEN " + n + " < 1 THEN NULL ELSE " + NullIfEmpty(body) + " END", SizeOf(a[0]));
    }
    return Varchar(NullIfEmpty(body + ") AS TEXT)"), SizeOf(a[0]));
  }
  if (name == "INSTR") {
    ArgCount(a, 2, 2, offset);
    return Number("instr(" + Bytes(AsText(a[0])) + ", " + Bytes(AsText(a[1])) + ")");
  }
  if (name == "REPLACE") {
    ArgCount(a, 2, 3, offset);
    std::string with = a.size() == 3 ? "ifnull(" + AsText(a[2]) + ", '')" : "''";
    std::string s = AsText(a[0]), from = AsText(a[1]);
    return Varchar("CASE WHEN " + from + " IS NULL THEN " + s + " ELSE " +
                       NullIfEmpty("replace(" + s + ", " + from + ", " + with + ")") + " END",
                   4000);
  }
  if (name == "TRIM" || name == "LTRIM" || name == "RTRIM") {
    ArgCount(a, 1, name == "TRIM" ? 1 : 2, offset);
    std::string fn = name == "TRIM" ? "trim(" : name == "LTRIM" ? "ltrim(" : "rtrim(";
    std::string args = AsText(a[0]) + (a.size() == 2 ? ", " + AsText(a[1]) : std::string());
    return Varchar(NullIfEmpty(fn + args + ")"), SizeOf(a[0]));
  }
  if (name == "CONCAT") {
    ArgCount(a, 2, 2, offset);
    return Varchar(NullIfEmpty("ifnull(" + AsText(a[0]) + ", '') || ifnull(" + AsText(a[1]) + ", '')"),
                   SizeOf(a[0]) + SizeOf(a[1]));
  }
  if (name == "TO_CHAR") {
    ArgCount(a, 1, 3, offset);
    if (a.size() == 1) return Varchar(AsText(a[0]), SizeOf(a[0]));
    std::string format;
    if (a.size() != 2 || a[0].type != VT::Date || !a[1].literal || !DateFormat(a[1].value, format))
      Raise(3001, offset);
    return Varchar("strftime(" + Quote(format) + ", " + a[0].sql + ")", static_cast<int>(a[1].value.size()) + 8);
  }
  if (name == "TO_NUMBER") {
    ArgCount(a, 1, 1, offset);
    return Number("CAST(" + a[0].sql + " AS NUMERIC)");
  }
  if (name == "ABS") {
    ArgCount(a, 1, 1, offset);
    return Number("abs(" + AsNumber(a[0]) + ")");
  }
  if (name == "ROUND" || name == "TRUNC") {
    ArgCount(a, 1, 2, offset);
    if (a[0].type == VT::Date) {
      // Only the whole day: other format models are not modelled.
      if (a.size() == 2) Raise(3001, offset);
      if (name == "TRUNC") return Result("datetime(date(" + a[0].sql + "))", VT::Date, DateDesc());
      return Result("datetime(date(" + a[0].sql + ", '+12 hours'))", VT::Date, DateDesc());
    }
    std::string places = a.size() == 2 ? "CAST(" + AsNumber(a[1]) + " AS INTEGER)" : "0";
    if (name == "ROUND") return Number("round(" + AsNumber(a[0]) + ", " + places + ")");
    // Toward zero; other decimal places are not modelled.
    if (a.size() == 2) Raise(3001, offset);
    return Number("CAST(" + AsNumber(a[0]) + " AS INTEGER)");
  }
  if (name == "MOD") {
    ArgCount(a, 2, 2, offset);
    const std::string x = AsNumber(a[0]), y = AsNumber(a[1]);
    return Number("CASE WHEN " + y + " = 0 THEN " + x + " ELSE " + x + " - " + y + " * CAST(CAST(" + x +
                  " AS REAL) / " + y + " AS INTEGER) END");
  }
  if (name == "FLOOR" || name == "CEIL") {
    ArgCount(a, 1, 1, offset);
    const std::string x = AsNumber(a[0]);
    const std::string i = "CAST(" + x + " AS INTEGER)";
    if (name == "FLOOR") return Number("(" + i + " - (" + x + " < " + i + "))");
    return Number("(" + i + " + (" + x + " > " + i + "))");
  }
  if (name == "GREATEST" || name == "LEAST") {
    if (a.empty()) Raise(909, offset);
    VT type = a[0].type == VT::Any || a[0].type == VT::Null ? VT::Char : a[0].type;
    std::string sql = name == "GREATEST" ? "max(" : "min(";
    int size = 0;
    for (size_t i = 0; i < a.size(); ++i) {
      sql += (i ? ", " : "") + ConvertTo(a[i], type);
      size = std::max(size, SizeOf(a[i]));
    }
    if (a.size() == 1) sql += ", " + ConvertTo(a[0], type);
    ColumnDesc d = type == VT::Number ? NumberDesc() : type == VT::Date ? DateDesc() : VarcharDesc(size);
    return Result(sql + ")", type, d);
  }
  if (name == "USERENV") {
    ArgCount(a, 1, 1, offset);
    if (!a[0].literal) Raise(2003, offset);
    std::string p = a[0].value;
    for (char& c : p) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (p == "SCHEMAID") return Number("?" + std::to_string(kUserIdParam));
    if (p == "SESSIONID") return Number("1");
    if (p == "LANGUAGE")
      return Varchar("('AMERICAN_AMERICA.' || (SELECT value FROM properties WHERE name = 'character_set'))", 52);
    if (p == "LANG") return Varchar("'US'", 62);
    Raise(2003, offset);
  }
  if (name == "SYS_CONTEXT") {
    ArgCount(a, 2, 3, offset);
    if (!a[0].literal || !a[1].literal) Raise(2003, offset);
    std::string ns = a[0].value, p = a[1].value;
    for (char& c : ns) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    for (char& c : p) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (ns != "USERENV") return Varchar("NULL", 256);
    if (p == "CURRENT_SCHEMA" || p == "SESSION_USER" || p == "CURRENT_USER")
      return Varchar("?" + std::to_string(kUserNameParam), 256);
    if (p == "CURRENT_SCHEMAID" || p == "SESSION_USERID" || p == "CURRENT_USERID")
      return Varchar("CAST(?" + std::to_string(kUserIdParam) + " AS TEXT)", 256);
    Raise(2003, offset);
  }
  Raise(904, offset, {QuotedIdent(name)});
}

}  // namespace oraemu::sel
