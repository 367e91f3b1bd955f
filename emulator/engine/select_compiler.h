// The translator behind Compile (select_compile.h): its state and steps.
// Private to select_compile*.cpp.
#ifndef ORAEMU_SELECT_COMPILER_H
#define ORAEMU_SELECT_COMPILER_H

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/dictionary_views.h"
#include "engine/select_compile.h"
#include "engine/select_types.h"

namespace oraemu::sel::detail {

// One FROM item as the query block sees it.
struct Source {
  std::string alias;             // empty when none was given
  std::string owner;             // of a dictionary view (SYS)
  std::string name;              // object name as written
  const dict::View* view = nullptr;
  std::vector<ColumnDesc> cols;
  std::string subSql;            // inline view
  std::string sqlAlias;          // unique name in the SQLite text
  std::vector<bool> used;        // view columns the statement reads
  JoinKind join = JoinKind::Comma;
  const Expr* on = nullptr;
  std::string onSql;
  bool outer = false;            // outer-joined through (+)
  std::vector<std::string> outerConds;
  std::vector<bool> merged;      // joined through USING or NATURAL: the left side's column stands for it
  std::set<std::string> usingNames;  // columns of a USING join, which take no qualifier
  std::set<size_t> deps;         // sources its (+) conditions read
  int offset = 0;
};

struct Scope {
  std::vector<Source> sources;
  Scope* parent = nullptr;
};

// State of compiling one condition or select-list item.
struct Ctx {
  explicit Ctx(Scope* s) : scope(s) {}
  Scope* scope;
  bool outerAllowed = false;  // (+) may appear (a WHERE conjunct of a comma join)
  bool ansi = false;
  int orDepth = 0;
  std::set<size_t> marked;    // sources of `scope` carrying (+)
  std::set<size_t> touched;   // sources of `scope` read
  bool aggregateAllowed = false;
  bool rownumAllowed = false;  // ROWNUM as a select-list value
  bool analyticAllowed = false;  // select list and ORDER BY
  int aggDepth = 0;
  bool sawAggregate = false;
  std::vector<std::string> bare;  // column references outside group functions
};

std::string Qualified(const std::vector<std::string>& path);
// Oracle names an unaliased expression by its text: upper case, blanks
// removed outside quotes.
std::string DerivedName(const std::string& source);
void Conjuncts(const Expr& e, std::vector<const Expr*>& out);
// A whole number too long for SQLite to hold exactly stays decimal text,
// as the storage keeps such numbers: it then comes back and compares exact.
std::string NumberLiteral(const std::string& text);
std::string Join(const std::vector<std::string>& parts, const char* sep);
Typed Bool(std::string sql);
ColumnDesc DescOf(const TypeName& n);

class Compiler {
 public:
  explicit Compiler(RelationSource* relations) : relations_(relations) {}

  CompiledQuery Run(const Query& q) {
    Out out = QuerySql(q, nullptr);
    CompiledQuery c;
    if (!commonTables_.empty()) out.sql = "WITH " + Join(commonTables_, ", ") + " " + out.sql;
    c.sql = std::move(out.sql);
    c.columns = std::move(out.cols);
    c.binds = binds_;
    c.reusable = reusable_;
    c.unsupportedAt = unsupported_;
    return c;
  }

 private:
  struct Out {
    std::string sql;
    std::vector<ColumnDesc> cols;
    std::vector<std::string> itemSql;
    bool limited = false;  // ends in LIMIT (ROWNUM)
  };

  // ---- queries ----

  // The WITH clauses in force, innermost last: the tables compiled so far,
  // so that a table sees only those before it.
  struct WithTable {
    std::string name;     // as the query names it
    std::string sqlName;  // in the SQLite WITH list
    std::vector<ColumnDesc> cols;
    long long weight;     // copies SQLite makes of queries when it reads this
  };
  struct WithLevel {
    std::vector<WithTable> tables;
  };

  Out QuerySql(const Query& q, Scope* parent);

  // The named subquery `name` compiled as an inline view, or false.
  bool CommonTableSource(const std::string& name, Source& s);

  Out SetQuery(const Query& q, Scope* parent);

  static size_t Position(const Expr& e, size_t count);

  static std::string Direction(const OrderItem& o);

  Out Block(const QueryBlock& b, Scope* parent, const std::vector<OrderItem>& orderBy);

  // "ROWNUM <= n", "ROWNUM < n", "ROWNUM = n" (and mirrored) with a whole
  // number n: Oracle numbers rows as they are produced, before any sort, so
  // the first n rows of the result are an answer it may give.
  static bool RownumLimit(const Expr& e, std::optional<long long>& limit);

  static void CheckGrouped(const std::vector<std::string>& bare, const std::set<std::string>& groupSql,
                           bool noGroupBy, int offset);

  std::string OrderTerm(const OrderItem& o, Scope& scope, const Out& out, bool distinct, bool aggregated,
                        const std::set<std::string>& groupSql);

  // ---- FROM ----

  static bool Matches(const Source& s, const std::vector<std::string>& qualifier);

  static std::string SourceSql(const Source& s);

  static std::string FromSql(Scope& scope, bool ansi, std::vector<std::string>& where);

  // ---- names ----

  static bool Hidden(const Source& s, size_t k);

  Typed ColumnOf(Source& s, size_t k);

  // "a = b" where `a` is a looked-up name also gets "key IN (lookup of b)",
  // which SQLite can answer by index.
  static std::string WithLookup(const std::string& cond, const Typed& a, const Typed& b);

  Typed Column(const Expr& e, Ctx& c);

  std::string Param(const std::string& name);

  // ---- expressions ----

  Typed Value(const Expr& e, Ctx& c);

  Typed Cond(const Expr& e, Ctx& c);

  // Compiles `e` as a value that a comparison may use.
  Typed Operand(const Expr& e, Ctx& c);

  Out Subquery(const Query& q, Ctx& c, bool singleColumn);

  Typed Expression(const Expr& e, Ctx& c);

  Typed Case(const Expr& e, Ctx& c);

  Typed Function(const Expr& e, Ctx& c);
  Typed Analytic(const Expr& e, Ctx& c);
  Typed CastOrExtract(const Expr& e, Ctx& c);

  // JSON_TABLE as a FROM item; its input reads the items before it.
  void JsonTableSource(const FromItem& f, Scope& scope, Source& s);
  // The ON condition of JOIN ... USING and NATURAL JOIN.
  void UsingJoin(const FromItem& f, Scope& scope, Source& s);

  void Unsupported(int offset) {
    if (unsupported_ < 0) unsupported_ = offset;
  }

  // A user's table (which holds no rows: the server keeps no data) or view
  // (whose query is compiled in its place).
  void UserRelation(const FromItem& f, Source& s);

  static constexpr int kMaxViewDepth = 32;
  RelationSource* relations_;
  bool reusable_ = true;
  int viewDepth_ = 0;
  std::vector<std::string> binds_;
  std::vector<WithLevel> withs_;
  std::vector<std::string> commonTables_;  // "wN AS (...)" of every WITH table
  // Tables of WITH clauses reading each other several times make SQLite's
  // work grow exponentially; beyond this many copies the statement is
  // refused.
  static constexpr long long kMaxExpansion = 4096;
  long long expansion_ = 0;
  long long viewCopies_ = 0;
  int aliasCounter_ = 0;
  int unsupported_ = -1;
};

}  // namespace oraemu::sel::detail

#endif
