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
    case ExprKind::Function: {
      bool aggregate = IsAggregate(e.text);
      if (aggregate) {
        if (!c.aggregateAllowed) Raise(934, e.offset);
        c.sawAggregate = true;
        ++c.aggDepth;
      }
      std::vector<Typed> args;
      for (const ExprPtr& a : e.args) args.push_back(Value(*a, c));
      if (aggregate) --c.aggDepth;
      return CompileFunction(e.text, std::move(args), e.star, e.distinct, e.offset);
    }
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
