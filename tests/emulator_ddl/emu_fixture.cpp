#include "emu_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "engine/storage.h"

void EmuTest::SetUp() {
  dir_ = temp_.Path();
  setenv("ORAEMU_DATA", dir_.c_str(), 1);
  oraemu::Database::Create("T", "manager");
  db_ = oraemu::Database::Open("T");
  system_ = db_->Logon("system", "manager", false).session;
  ExecAs(*system_, "CREATE USER app IDENTIFIED BY secret");
  ExecAs(*system_, "CREATE USER other IDENTIFIED BY pw");
  ExecAs(*system_, "GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM, CREATE PUBLIC SYNONYM, CREATE DATABASE LINK TO app, other");
  app_ = db_->Logon("APP", "secret", false).session;
}

void EmuTest::TearDown() {
  app_.reset();
  system_.reset();
  db_.reset();
}

oraemu::Result EmuTest::Exec(const std::string& sql) { return ExecAs(*app_, sql); }

oraemu::Result EmuTest::ExecAs(oraemu::Session& s, const std::string& sql) {
  try {
    return s.Execute(sql, {}, false);
  } catch (const oraemu::EOraError& e) {
    ADD_FAILURE() << sql << "\n  refused: " << e.what() << " at " << e.offset();
    return {};
  }
}

oraemu::EOraError EmuTest::Refuse(const std::string& sql) { return RefuseAs(*app_, sql); }

oraemu::EOraError EmuTest::RefuseAs(oraemu::Session& s, const std::string& sql) {
  std::string before = Snapshot();
  try {
    s.Execute(sql, {}, false);
  } catch (const oraemu::EOraError& e) {
    EXPECT_EQ(before, Snapshot()) << "refused statement changed the dictionary: " << sql;
    return e;
  }
  ADD_FAILURE() << "accepted: " << sql;
  return oraemu::EOraError(0, "accepted");
}

std::vector<std::string> EmuTest::Rows(const std::string& query) {
  auto storage = oraemu::Storage::Open(dir_ + "/T.sqlite", false);
  auto q = storage->Query(query);
  std::vector<std::string> out;
  while (q.Step()) {
    std::string row;
    for (int i = 0; i < q.ColumnCount(); ++i) {
      if (i) row += "|";
      row += q.IsNull(i) ? "~" : q.Text(i);
    }
    out.push_back(row);
  }
  return out;
}

std::string EmuTest::Row(const std::string& query) {
  auto rows = Rows(query);
  EXPECT_EQ(rows.size(), 1u) << query;
  return rows.empty() ? std::string() : rows.front();
}

std::string EmuTest::Snapshot() {
  std::string all;
  for (const auto& table : Rows("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
    all += "[" + table + "]\n";
    for (const auto& row : Rows("SELECT * FROM \"" + table + "\" ORDER BY 1, 2")) all += row + "\n";
  }
  return all;
}
