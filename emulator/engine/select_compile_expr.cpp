// Expressions and conditions of the translator.
#include <algorithm>

#include "engine/errors.h"
#include "engine/select_compiler.h"

namespace oraemu::sel::detail {

Typed Compiler::Value(const Expr& e, Ctx& c) {
  Typed t = Expression(e, c);
  if (t.type == VT::Bool) Raise(907, e.offset);
  return t;
}

Typed Compiler::Cond(const Expr& e, Ctx& c) {
  Typed t = Expression(e, c);
  if (t.type != VT::Bool) Raise(920, e.offset);
  return t;
}

Typed Compiler::Operand(const Expr& e, Ctx& c) {
  Typed t = Value(e, c);
  RejectLong(t, e.offset);
  return t;
}

Compiler::Out Compiler::Subquery(const Query& q, Ctx& c, bool singleColumn) {
  Out out = QuerySql(q, c.scope);
  if (singleColumn && out.cols.size() != 1) Raise(913, q.offset);
  return out;
}

Typed Compiler::Expression(const Expr& e, Ctx& c) {
  Typed t;
  switch (e.kind) {
    case ExprKind::Null:
      t.sql = "NULL";
      t.type = VT::Null;
      t.desc = VarcharDesc(0);
      return t;
    case ExprKind::String:
      t.sql = Quote(e.text);
      t.type = VT::Char;
      t.desc = CharDesc(static_cast<int>(e.text.size()));
      t.literal = true;
      t.value = e.text;
      return t;
    case ExprKind::Number:
      t.sql = NumberLiteral(e.text);
      t.type = VT::Number;
      t.desc = NumberDesc();
      return t;
    case ExprKind::Bind:
      t.sql = Param(e.text);
      t.type = VT::Any;
      t.desc = VarcharDesc(4000);
      return t;
    case ExprKind::Pseudo:
      if (e.text == "USER") {
        t.sql = "?" + std::to_string(kUserNameParam);
        t.type = VT::Char;
        t.desc = VarcharDesc(128);
      } else if (e.text == "UID") {
        t.sql = "?" + std::to_string(kUserIdParam);
        t.type = VT::Number;
        t.desc = NumberDesc();
      } else if (e.text == "SYSDATE") {
        t.sql = "datetime('now', 'localtime')";
        t.type = VT::Date;
        t.desc = DateDesc();
      } else if (c.rownumAllowed) {
        t.sql = "row_number() OVER ()";
        t.type = VT::Number;
        t.desc = NumberDesc();
      } else {
        Raise(3001, e.offset);
      }
      t.desc.nullable = false;
      return t;
    case ExprKind::Column:
      return Column(e, c);
    case ExprKind::Function:
      return e.over ? Analytic(e, c) : Function(e, c);
    case ExprKind::Cast:
    case ExprKind::Extract:
      return CastOrExtract(e, c);
    case ExprKind::Negate: {
      Typed a = Operand(*e.args[0], c);
      t.sql = "(-" + AsNumber(a) + ")";
      t.type = VT::Number;
      t.desc = NumberDesc();
      return t;
    }
    case ExprKind::Arith: {
      Typed a = Operand(*e.args[0], c), b = Operand(*e.args[1], c);
      if (e.op == "||") {
        t.sql = "NULLIF(ifnull(" + AsText(a) + ", '') || ifnull(" + AsText(b) + ", ''), '')";
        t.type = VT::Char;
        int size = (a.type == VT::Number ? 40 : a.desc.size) + (b.type == VT::Number ? 40 : b.desc.size);
        t.desc = VarcharDesc(std::min(size, 32767));
        return t;
      }
      // Oracle divides exactly; SQLite would truncate two integers.
      std::string left = e.op == "/" ? "CAST(" + AsNumber(a) + " AS REAL)" : AsNumber(a);
      t.sql = "(" + left + " " + e.op + " " + AsNumber(b) + ")";
      t.type = VT::Number;
      t.desc = NumberDesc();
      return t;
    }
    case ExprKind::Compare: {
      Typed a = Operand(*e.args[0], c), b = Operand(*e.args[1], c);
      Unify(a, b);
      std::string cond = "(" + a.sql + " " + e.op + " " + b.sql + ")";
      return Bool(e.op == "=" ? WithLookup(cond, a, b) : cond);
    }
    case ExprKind::And:
    case ExprKind::Or: {
      if (e.kind == ExprKind::Or) ++c.orDepth;
      Typed a = Cond(*e.args[0], c), b = Cond(*e.args[1], c);
      if (e.kind == ExprKind::Or) --c.orDepth;
      return Bool("(" + a.sql + (e.kind == ExprKind::And ? " AND " : " OR ") + b.sql + ")");
    }
    case ExprKind::Not:
      return Bool("(NOT " + Cond(*e.args[0], c).sql + ")");
    case ExprKind::IsNull: {
      Typed a = Value(*e.args[0], c);
      return Bool("(" + a.sql + (e.negated ? " IS NOT NULL)" : " IS NULL)"));
    }
    case ExprKind::Like: {
      std::string sql = "ora_like(";
      for (size_t i = 0; i < e.args.size(); ++i) {
        Typed t = Operand(*e.args[i], c);
        if (i == 2 && t.literal && t.value.size() != 1) Raise(1425, e.args[i]->offset);
        sql += (i ? ", " : "") + AsText(t);
      }
      sql += ")";
      return Bool(e.negated ? "(NOT " + sql + ")" : sql);
    }
    case ExprKind::InList: {
      ++c.orDepth;
      Typed a = Operand(*e.args[0], c);
      std::vector<Typed> items;
      bool numeric = a.type == VT::Number;
      for (size_t i = 1; i < e.args.size(); ++i) {
        items.push_back(Operand(*e.args[i], c));
        numeric = numeric || items.back().type == VT::Number;
      }
      --c.orDepth;
      std::string sql = "(" + (numeric ? AsNumber(a) : a.sql) + (e.negated ? " NOT IN (" : " IN (");
      for (size_t i = 0; i < items.size(); ++i) sql += (i ? ", " : "") + (numeric ? AsNumber(items[i]) : items[i].sql);
      return Bool(sql + "))");
    }
    case ExprKind::InQuery: {
      Typed a = Operand(*e.args[0], c);
      Out sub = Subquery(*e.sub, c, true);
      return Bool("(" + a.sql + (e.negated ? " NOT IN (" : " IN (") + sub.sql + "))");
    }
    case ExprKind::Between: {
      Typed a = Operand(*e.args[0], c), lo = Operand(*e.args[1], c), hi = Operand(*e.args[2], c);
      Typed a2 = a;
      Unify(a, lo);
      Unify(a2, hi);
      std::string value = a.type == VT::Number || lo.type == VT::Number || hi.type == VT::Number ? AsNumber(a) : a.sql;
      return Bool("(" + value + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + lo.sql + " AND " + hi.sql + ")");
    }
    case ExprKind::Exists:
      return Bool("(EXISTS (" + Subquery(*e.sub, c, false).sql + "))");
    case ExprKind::Subquery: {
      Out sub = Subquery(*e.sub, c, true);
      t.sql = "(" + sub.sql + ")";
      t.desc = sub.cols[0];
      t.desc.nullable = true;
      t.type = TypeOf(t.desc);
      return t;
    }
    case ExprKind::Case:
      return Case(e, c);
  }
  Raise(936, e.offset);
}

namespace {

// Functions that exist only with an OVER clause.
bool IsWindowOnly(const std::string& name) {
  static const char* const kNames[] = {"ROW_NUMBER", "RANK", "DENSE_RANK", "PERCENT_RANK", "CUME_DIST", "NTILE",
                                       "LAG", "LEAD", "FIRST_VALUE", "LAST_VALUE", "NTH_VALUE", "RATIO_TO_REPORT"};
  for (const char* n : kNames)
    if (name == n) return true;
  return false;
}

// Group functions that only count as such where the query groups.
bool IsGroupingFunction(const std::string& name) { return name == "GROUPING" || name == "GROUPING_ID"; }

}  // namespace

ColumnDesc DescOf(const TypeName& n) {
  ColumnDesc d;
  d.type = static_cast<uint16_t>(n.type);
  d.size = static_cast<uint16_t>(n.size);
  d.precision = static_cast<int16_t>(n.precision);
  d.scale = static_cast<int8_t>(n.scale);
  if (n.type == 1 || n.type == 96 || n.type == 23) {
    d.charSize = d.size;
    d.charUsed = n.charUsed;
  }
  d.nullable = true;
  return d;
}

Typed Compiler::Function(const Expr& e, Ctx& c) {
  if (IsWindowOnly(e.text) && !e.withinGroup) Raise(30484, e.offset);
  const bool listagg = e.text == "LISTAGG";
  const bool aggregate = IsAggregate(e.text) || listagg || IsGroupingFunction(e.text) || e.withinGroup;
  if (aggregate) {
    if (!c.aggregateAllowed) Raise(934, e.offset);
    c.sawAggregate = true;
    ++c.aggDepth;
  }
  if (e.withinGroup && !listagg) Raise(904, e.offset, {QuotedIdent(e.text)});
  const bool analytic = c.analyticAllowed;
  c.analyticAllowed = false;
  std::vector<Typed> args;
  for (const ExprPtr& a : e.args) args.push_back(Value(*a, c));
  for (const OrderItem& o : e.withinOrder) Operand(*o.expr, c);
  c.analyticAllowed = analytic;
  if (aggregate) --c.aggDepth;
  if (listagg) {
    if (args.empty() || args.size() > 2) Raise(909, e.offset);
    for (const Typed& a : args) RejectLong(a, e.offset);
    // SQLite's group_concat cannot order what it joins.
    if (!e.withinOrder.empty()) Unsupported(e.offset);
    Typed t;
    t.sql = "NULLIF(group_concat(" + AsText(args[0]) + ", " + (args.size() > 1 ? AsText(args[1]) : "''") + "), '')";
    t.type = VT::Char;
    t.desc = VarcharDesc(4000);
    return t;
  }
  if (IsGroupingFunction(e.text)) {
    if (args.empty() || (e.text == "GROUPING" && args.size() != 1)) Raise(909, e.offset);
    // Under a single GROUP BY no column is aggregated away.
    Typed t;
    t.sql = "0";
    t.type = VT::Number;
    t.desc = NumberDesc();
    return t;
  }
  return CompileFunction(e.text, std::move(args), e.star, e.distinct, e.offset);
}

Typed Compiler::Analytic(const Expr& e, Ctx& c) {
  if (!c.analyticAllowed) Raise(30483, e.offset);
  // The function's own arguments and window may use group functions, not
  // other analytic ones.
  c.analyticAllowed = false;
  std::vector<Typed> args;
  for (const ExprPtr& a : e.args) args.push_back(Operand(*a, c));
  std::vector<std::string> partition, order;
  for (const ExprPtr& p : e.over->partition) partition.push_back(Operand(*p, c).sql);
  for (const OrderItem& o : e.over->order) {
    Typed t = Operand(*o.expr, c);
    order.push_back((t.type == VT::Number ? "CAST(" + t.sql + " AS NUMERIC)" : t.sql) + Direction(o));
  }
  for (const OrderItem& o : e.withinOrder) Operand(*o.expr, c);
  c.analyticAllowed = true;
  std::string window = "OVER (";
  if (!partition.empty()) window += "PARTITION BY " + Join(partition, ", ");
  if (!order.empty()) window += std::string(partition.empty() ? "" : " ") + "ORDER BY " + Join(order, ", ");
  if (!e.over->frame.empty()) window += " " + e.over->frame;
  window += ")";

  const std::string& name = e.text;
  Typed t;
  if (name == "ROW_NUMBER" || name == "RANK" || name == "DENSE_RANK" || name == "PERCENT_RANK" ||
      name == "CUME_DIST" || name == "NTILE") {
    if ((name == "NTILE") != (args.size() == 1) || args.size() > 1) Raise(909, e.offset);
    if (order.empty() && name != "ROW_NUMBER") Raise(30485, e.offset);
    std::string lower = name;
    for (char& ch : lower)
      if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    t.sql = lower + "(" + (args.empty() ? "" : AsNumber(args[0])) + ") " + window;
    t.type = VT::Number;
    t.desc = NumberDesc();
    return t;
  }
  if (name == "LAG" || name == "LEAD" || name == "FIRST_VALUE" || name == "LAST_VALUE" || name == "NTH_VALUE") {
    const size_t most = name == "LAG" || name == "LEAD" ? 3 : name == "NTH_VALUE" ? 2 : 1;
    const size_t least = name == "NTH_VALUE" ? 2 : 1;
    if (args.size() < least || args.size() > most) Raise(909, e.offset);
    if ((name == "LAG" || name == "LEAD") && order.empty()) Raise(30485, e.offset);
    std::string lower = name == "LAG" ? "lag" : name == "LEAD" ? "lead" : name == "FIRST_VALUE" ? "first_value"
                        : name == "LAST_VALUE" ? "last_value" : "nth_value";
    std::vector<std::string> sql;
    for (const Typed& a : args) sql.push_back(a.sql);
    t = args[0];
    t.sql = lower + "(" + Join(sql, ", ") + ") " + window;
    t.desc.nullable = true;
    t.literal = false;
    t.source = nullptr;
    t.lookup.clear();
    return t;
  }
  if (name == "RATIO_TO_REPORT") {
    if (args.size() != 1) Raise(909, e.offset);
    if (!order.empty()) Raise(30487, e.offset);
    t.sql = "(CAST(" + AsNumber(args[0]) + " AS REAL) / sum(" + AsNumber(args[0]) + ") " + window + ")";
    t.type = VT::Number;
    t.desc = NumberDesc();
    return t;
  }
  if (name == "LISTAGG") {
    if (args.empty() || args.size() > 2) Raise(909, e.offset);
    Unsupported(e.offset);
    t.sql = "NULLIF(group_concat(" + AsText(args[0]) + ", " + (args.size() > 1 ? AsText(args[1]) : "''") + ") " +
            window + ", '')";
    t.type = VT::Char;
    t.desc = VarcharDesc(4000);
    return t;
  }
  // Aggregates over a window.
  if (!IsAggregate(name)) Raise(923, e.offset);
  t = CompileFunction(name, std::move(args), e.star, e.distinct, e.offset);
  t.sql += " " + window;
  t.desc.nullable = true;
  return t;
}

Typed Compiler::CastOrExtract(const Expr& e, Ctx& c) {
  Typed a = Operand(*e.args[0], c);
  Typed t;
  if (e.kind == ExprKind::Extract) {
    if (a.type != VT::Date && a.type != VT::Any && a.type != VT::Null) Raise(30076, e.offset);
    const char* format = e.text == "YEAR" ? "%Y" : e.text == "MONTH" ? "%m" : e.text == "DAY" ? "%d"
                         : e.text == "HOUR" ? "%H" : e.text == "MINUTE" ? "%M" : "%S";
    t.sql = "CAST(strftime('" + std::string(format) + "', " + a.sql + ") AS INTEGER)";
    t.type = VT::Number;
    t.desc = NumberDesc();
    return t;
  }
  t.desc = DescOf(e.castType);
  t.type = TypeOf(t.desc);
  t.sql = t.type == VT::Number ? AsNumber(a) : t.type == VT::Char ? AsText(a) : a.sql;
  t.desc.nullable = a.type == VT::Null || a.desc.nullable;
  return t;
}

Typed Compiler::Case(const Expr& e, Ctx& c) {
  size_t i = 0;
  Typed operand;
  if (e.hasOperand) operand = Operand(*e.args[i++], c);
  std::vector<std::pair<Typed, Typed>> arms;
  size_t end = e.args.size() - (e.hasElse ? 1 : 0);
  for (; i < end; i += 2) {
    Typed when = e.hasOperand ? Operand(*e.args[i], c) : Cond(*e.args[i], c);
    arms.emplace_back(std::move(when), Value(*e.args[i + 1], c));
  }
  Typed otherwise;
  if (e.hasElse) otherwise = Value(*e.args.back(), c);
  VT type = VT::Null;
  int size = 0;
  for (auto& arm : arms) {
    if (type == VT::Null) type = arm.second.type;
    size = std::max<int>(size, arm.second.type == VT::Number ? 40 : arm.second.desc.size);
  }
  if (type == VT::Null) type = otherwise.type;
  if (type == VT::Null || type == VT::Any) type = VT::Char;
  size = std::max<int>(size, otherwise.desc.size);
  auto convert = [&](const Typed& v) {
    return type == VT::Number ? AsNumber(v) : type == VT::Char ? AsText(v) : v.sql;
  };
  std::string sql = "CASE";
  for (auto& [when, then] : arms) {
    std::string test = when.sql;
    if (e.hasOperand) {
      Typed a = operand, b = when;
      Unify(a, b);
      test = "(" + a.sql + " = " + b.sql + ")";
    }
    sql += " WHEN " + test + " THEN " + convert(then);
  }
  if (e.hasElse) sql += " ELSE " + convert(otherwise);
  Typed t;
  t.sql = sql + " END";
  t.type = type;
  t.desc = type == VT::Number ? NumberDesc() : type == VT::Date ? DateDesc() : VarcharDesc(size);
  return t;
}

}  // namespace oraemu::sel::detail
