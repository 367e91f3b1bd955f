// Queries and DDL are split by one lexer: the same malformed text is the
// same error at the same place, whichever kind of statement holds it.
#include <gtest/gtest.h>

#include <string>

#include "query_fixture.h"

namespace {

struct Fragment {
  const char* text;
  int code;    // 0: lexes fine
  int offset;  // of the error, from the fragment's start
};

const Fragment kFragments[] = {
    {"'open string", 1756, 0},
    {"\"open name", 1740, 0},
    {"1 /* never closed", 0, 0},
    {"'it''s' -- comment", 0, 0},
    {"'a' || 'b'", 0, 0},
};

class LexerAgreement : public queryfix::QueryTest {
 protected:
  // The code and the offset from `at` of the error the statement raises; 0 when accepted.
  std::pair<int, int> Outcome(const std::string& sql, size_t at) {
    try {
      system_->Execute(sql, {});
      return {0, 0};
    } catch (const oraemu::EOraError& e) {
      return {e.code(), e.offset() - static_cast<int>(at)};
    }
  }
};

TEST_F(LexerAgreement, QueriesAndDdlSeeTheSameTokens) {
  for (const Fragment& f : kFragments) {
    SCOPED_TRACE(f.text);
    const std::string query = "select ";
    const std::string ddl = "comment on table nothing_here is ";
    const auto q = Outcome(query + f.text, query.size());
    const auto d = Outcome(ddl + f.text, ddl.size());
    if (f.code != 0) {
      EXPECT_EQ(q, std::make_pair(f.code, f.offset));
      EXPECT_EQ(d, std::make_pair(f.code, f.offset));
    } else {
      // Lexed fine: whatever each statement then refuses, it is no lexical error.
      for (int code : {q.first, d.first}) EXPECT_TRUE(code != 1756 && code != 1740 && code != 911) << code;
    }
  }
}

TEST_F(LexerAgreement, QueriesRefuseWhatOnlyPlsqlSpells) {
  for (const char* text : {"select 1 := 2 from dual", "select 1 @ 2 from dual", "select : x from dual",
                           "select 1 ; from dual"}) {
    SCOPED_TRACE(text);
    const auto r = Outcome(text, 0);
    EXPECT_EQ(r.first, 911);
  }
  EXPECT_EQ(Outcome("select :1 from dual", 0).first, 1008);  // a bind by number, unbound
}

}  // namespace
