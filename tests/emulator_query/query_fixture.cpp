#include "emulator_query/query_fixture.h"

#include <stdlib.h>

#include <filesystem>

namespace queryfix {

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
  return out;
}

void QueryTest::SetUp() {
  folder_ = temp_.Path();
  setenv("ORAEMU_DATA", folder_.c_str(), 1);
  oraemu::Database::Create("QT", "manager");
  db_ = oraemu::Database::Open("QT");
  system_ = db_->Logon("SYSTEM", "manager", false).session;
  ASSERT_TRUE(system_);
}

void QueryTest::TearDown() {
  users_.clear();
  system_.reset();
  db_.reset();
}

oraemu::Session& QueryTest::AddUser(const std::string& name) {
  Exec(*system_, "CREATE USER " + name + " IDENTIFIED BY pw");
  Exec(*system_, "GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM, CREATE PUBLIC SYNONYM, CREATE DATABASE LINK TO " + name);
  auto logon = db_->Logon(name, "pw", false);
  EXPECT_TRUE(logon.session) << name;
  auto& slot = users_[name];
  slot = std::move(logon.session);
  return *slot;
}

void QueryTest::Exec(oraemu::Session& s, const std::string& sql) {
  try {
    s.Execute(sql, {});
  } catch (const oraemu::EOraError& e) {
    ADD_FAILURE() << sql << "\n  -> " << e.what();
  }
}

oraemu::Result QueryTest::Query(oraemu::Session& s, const std::string& sql,
                                const std::vector<oraemu::Bind>& binds) {
  try {
    return s.Execute(sql, binds);
  } catch (const oraemu::EOraError& e) {
    ADD_FAILURE() << sql << "\n  -> " << e.what();
  }
  return {};
}

int QueryTest::ErrorOf(oraemu::Session& s, const std::string& sql, const std::vector<oraemu::Bind>& binds) {
  try {
    s.Execute(sql, binds);
  } catch (const oraemu::EOraError& e) {
    return e.code();
  }
  return 0;
}

int ColumnIndex(const oraemu::Result& r, const std::string& name) {
  for (size_t i = 0; i < r.columns.size(); ++i)
    if (r.columns[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string Cell(const oraemu::Result& r, size_t row, const std::string& name) {
  int i = ColumnIndex(r, name);
  if (i < 0 || row >= r.rows.size()) {
    ADD_FAILURE() << "no cell " << name << " in row " << row;
    return "<missing>";
  }
  return r.rows[row][static_cast<size_t>(i)].text;
}

bool IsNull(const oraemu::Result& r, size_t row, const std::string& name) {
  int i = ColumnIndex(r, name);
  return i >= 0 && row < r.rows.size() && r.rows[row][static_cast<size_t>(i)].IsNull();
}

std::vector<std::string> ColumnValues(const oraemu::Result& r, const std::string& name) {
  std::vector<std::string> out;
  for (size_t row = 0; row < r.rows.size(); ++row) out.push_back(Cell(r, row, name));
  return out;
}

std::vector<std::string> ColumnNames(const oraemu::Result& r) {
  std::vector<std::string> out;
  for (const auto& c : r.columns) out.push_back(c.name);
  return out;
}

}  // namespace queryfix
