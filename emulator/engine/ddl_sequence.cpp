#include <cmath>

#include "engine/catalog.h"
#include "engine/ddl_codes.h"
#include "engine/ddl_statements.h"
#include "engine/decimal.h"
#include "engine/errors.h"

namespace oraemu {

namespace {

const std::string k28Nines(28, '9');
const std::string kMinus27Nines = "-" + std::string(27, '9');

// A sequence parameter: an integer of at most 28 digits (27 when negative).
std::string ReadInteger(Parser& p, const char* parameter) {
  bool negative = p.AcceptSymbol("-");
  if (!negative) p.AcceptSymbol("+");
  const Token t = p.Peek();
  if (t.kind != Token::Kind::Number) p.Fail(1722, t);
  auto v = CanonicalInteger(t.text, negative);
  if (!v) Raise(4001, t.offset, {parameter});
  const size_t digits = v->size() - (negative && *v != "0" ? 1 : 0);
  const size_t limit = negative ? 27 : 28;
  if (digits > limit) Raise(4003, t.offset, {parameter, std::to_string(limit)});
  p.Next();
  return *v;
}

}  // namespace

uint16_t CreateSequence(DdlContext& ctx, Parser& p) {
  QualifiedName q = p.ReadQualified();
  std::optional<std::string> start, minValue, maxValue, cacheText;
  std::string increment = "1";
  bool cycle = false, order = false, noCache = false;
  int offset = q.offset;
  for (;;) {
    const Token t = p.Peek();
    if (p.Accept("INCREMENT")) {
      p.Expect("BY");
      increment = ReadInteger(p, "INCREMENT");
    } else if (p.Accept("START")) {
      p.Expect("WITH");
      start = ReadInteger(p, "START WITH");
    } else if (p.Accept("MAXVALUE")) {
      maxValue = ReadInteger(p, "MAXVALUE");
    } else if (p.Accept("NOMAXVALUE")) {
      maxValue.reset();
    } else if (p.Accept("MINVALUE")) {
      minValue = ReadInteger(p, "MINVALUE");
    } else if (p.Accept("NOMINVALUE")) {
      minValue.reset();
    } else if (p.Accept("CYCLE") || p.Accept("NOCYCLE")) {
      cycle = t.Is("CYCLE");
    } else if (p.Accept("ORDER") || p.Accept("NOORDER")) {
      order = t.Is("ORDER");
    } else if (p.Accept("CACHE")) {
      cacheText = ReadInteger(p, "CACHE");
      noCache = false;
    } else if (p.Accept("NOCACHE")) {
      noCache = true;
      cacheText.reset();
    } else if (!(p.Accept("KEEP") || p.Accept("NOKEEP") || p.Accept("SCALE") || p.Accept("NOSCALE") ||
                 p.Accept("GLOBAL") || p.Accept("SESSION"))) {
      break;
    }
  }
  p.ExpectEnd(933);

  const bool ascending = increment[0] != '-';
  if (increment == "0") Raise(4002, offset);
  std::string min = minValue ? *minValue : ascending ? "1" : kMinus27Nines;
  std::string max = maxValue ? *maxValue : ascending ? k28Nines : "-1";
  if (CompareIntegers(min, max) >= 0) Raise(4004, offset);
  if (std::fabs(ApproxValue(increment)) >= ApproxValue(max) - ApproxValue(min)) Raise(4005, offset);
  std::string first = start ? *start : ascending ? min : max;
  if (CompareIntegers(first, min) < 0) Raise(4006, offset);
  if (CompareIntegers(first, max) > 0) Raise(4008, offset);
  int64_t cache = 20;
  if (noCache) {
    cache = 0;
  } else if (cacheText) {
    if (CompareIntegers(*cacheText, "2") < 0) Raise(4010, offset);
    if (cacheText->size() > 18) Raise(4013, offset);
    cache = std::stoll(*cacheText);
  }
  // The cache may not hold more than one cycle of values.
  long double perCycle = std::floor((ApproxValue(max) - ApproxValue(min)) / std::fabs(ApproxValue(increment))) + 1;
  if (cache > 0 && static_cast<long double>(cache) > perCycle) Raise(4013, offset);

  int owner = ResolveOwner(ctx, q, true);
  if (FindObject(ctx.storage, owner, q.name, kNsDefault)) Raise(955, q.offset);
  int64_t id = InsertObject(ctx.storage, owner, q.name, kObjSequence, kNsDefault);
  auto ins = ctx.storage.Query("INSERT INTO sequences (obj_id, min_value, max_value, increment_by, cycle_flag, "
                               "order_flag, cache_size, last_number) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  ins.Bind(1, id).Bind(2, min).Bind(3, max).Bind(4, increment).Bind(5, std::string(cycle ? "Y" : "N"));
  ins.Bind(6, std::string(order ? "Y" : "N")).Bind(7, cache).Bind(8, first);
  ins.Run();
  return fncode::kCreateSequence;
}

uint16_t DropSequence(DdlContext& ctx, Parser& p) {
  QualifiedName q = p.ReadQualified();
  p.ExpectEnd();
  int owner = ResolveOwner(ctx, q, false, 2289);
  auto obj = FindObject(ctx.storage, owner, q.name, kNsDefault);
  if (!obj || obj->type != kObjSequence) Raise(2289, q.offset);
  if (owner != ctx.userId && !IsPrivileged(ctx)) Raise(1031, q.offset);
  // An identity column's sequence lives and dies with its table.
  auto identity = ctx.storage.Query("SELECT 1 FROM identity_columns WHERE sequence_obj_id = ?1");
  identity.Bind(1, obj->id);
  if (identity.Step()) Raise(32794, q.offset);
  DeleteObject(ctx.storage, obj->id);
  return fncode::kDropSequence;
}

}  // namespace oraemu
