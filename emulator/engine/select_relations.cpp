#include "engine/select_relations.h"

#include "engine/storage.h"

namespace oraemu::sel {

namespace {

constexpr int kMaxSynonymChain = 16;

std::optional<int> UserId(Storage& storage, const std::string& name) {
  Statement q = storage.Query("SELECT user_id FROM users WHERE name = ?1");
  q.Bind(1, name);
  if (!q.Step()) return std::nullopt;
  return static_cast<int>(q.Int(0));
}

std::string UserName(Storage& storage, int id) {
  Statement q = storage.Query("SELECT name FROM users WHERE user_id = ?1");
  q.Bind(1, id);
  return q.Step() ? q.Text(0) : std::string();
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

ColumnDesc DescribeStoredColumn(const std::string& name, const std::string& dataType, int64_t length,
                                const std::optional<int64_t>& precision, const std::optional<int64_t>& scale,
                                bool nullable, bool charUsed, int64_t charLength) {
  ColumnDesc d;
  d.name = name;
  d.nullable = nullable;
  d.size = static_cast<uint16_t>(length);
  auto set = [&](uint16_t type, uint16_t size) {
    d.type = type;
    d.size = size;
  };
  if (dataType == "VARCHAR2" || dataType == "NVARCHAR2" || dataType == "VARCHAR") {
    d.type = 1;
  } else if (dataType == "CHAR" || dataType == "NCHAR") {
    d.type = 96;
  } else if (dataType == "NUMBER") {
    set(2, 22);
    d.precision = static_cast<int16_t>(precision.value_or(0));
    d.scale = static_cast<int8_t>(precision ? scale.value_or(0) : -127);
  } else if (dataType == "FLOAT") {
    set(2, 22);
    d.precision = static_cast<int16_t>(precision.value_or(126));
    d.scale = -127;
  } else if (dataType == "DATE") {
    set(12, 7);
  } else if (dataType == "LONG") {
    set(8, 0);
  } else if (dataType == "LONG RAW") {
    set(24, 0);
  } else if (dataType == "RAW") {
    d.type = 23;
  } else if (dataType == "CLOB" || dataType == "NCLOB") {
    set(112, 4000);
  } else if (dataType == "BLOB") {
    set(113, 4000);
  } else if (dataType == "BINARY_FLOAT") {
    set(100, 4);
  } else if (dataType == "BINARY_DOUBLE") {
    set(101, 8);
  } else if (StartsWith(dataType, "TIMESTAMP")) {
    bool tz = dataType.find("WITH TIME ZONE") != std::string::npos;
    bool local = dataType.find("LOCAL TIME ZONE") != std::string::npos;
    set(local ? 232 : tz ? 188 : 187, tz ? 13 : 11);
  } else if (StartsWith(dataType, "INTERVAL YEAR")) {
    set(189, 5);
  } else if (StartsWith(dataType, "INTERVAL DAY")) {
    set(190, 11);
  } else if (dataType == "ROWID" || dataType == "UROWID") {
    set(104, 10);
  } else {
    d.type = 1;
  }
  if (d.type == 1 || d.type == 96) {
    d.charUsed = charUsed;
    d.charSize = static_cast<uint16_t>(charLength);
  }
  return d;
}

std::optional<Relation> StorageRelations::Find(const std::string& owner, const std::string& name) {
  if (owner.empty()) return Resolve(userId_, name, true, 0);
  std::optional<int> id = UserId(storage_, owner);
  if (!id) return std::nullopt;
  return Resolve(*id, name, false, 0);
}

std::optional<Relation> StorageRelations::Resolve(int ownerId, const std::string& name, bool publicToo, int depth) {
  if (depth > kMaxSynonymChain) return std::nullopt;
  int64_t objId = 0;
  int type = 0;
  for (int candidate : {ownerId, publicToo ? kPublicUserId : -1}) {
    if (candidate < 0) break;
    Statement q = storage_.Query(
        "SELECT obj_id, type FROM objects WHERE owner_id = ?1 AND namespace = 1 AND name = ?2 AND type IN (2, 4, 5)");
    q.Bind(1, candidate).Bind(2, name);
    if (q.Step()) {
      objId = q.Int(0);
      type = static_cast<int>(q.Int(1));
      ownerId = candidate;
      break;
    }
  }
  if (!objId) return std::nullopt;
  if (type == kObjSynonym) {
    Statement q = storage_.Query("SELECT target_owner, target_name, db_link FROM synonyms WHERE obj_id = ?1");
    q.Bind(1, objId);
    if (!q.Step() || !q.IsNull(2)) return std::nullopt;
    std::optional<std::string> targetOwner = q.OptText(0);
    std::string targetName = q.Text(1);
    int target = ownerId;
    if (targetOwner) {
      std::optional<int> id = UserId(storage_, *targetOwner);
      if (!id) return std::nullopt;
      target = *id;
    }
    return Resolve(target, targetName, false, depth + 1);
  }
  if (ownerId != userId_ && userId_ != kSysUserId && userId_ != kSystemUserId) {
    Statement q = storage_.Query(
        "SELECT 1 FROM grants WHERE obj_id = ?1 AND grantee_id IN (?2, ?3) AND privilege = 'SELECT'");
    q.Bind(1, objId).Bind(2, userId_).Bind(3, kPublicUserId);
    if (!q.Step()) return std::nullopt;
  }
  Relation r;
  r.owner = UserName(storage_, ownerId);
  r.isView = type == kObjView;
  Statement cols = storage_.Query(
      "SELECT name, data_type, data_length, data_precision, data_scale, nullable, char_used, char_length "
      "FROM columns WHERE obj_id = ?1 AND column_id < 100000 ORDER BY column_id");  // not the hidden ones
  cols.Bind(1, objId);
  while (cols.Step()) {
    auto optInt = [&](int i) { return cols.IsNull(i) ? std::nullopt : std::optional<int64_t>(cols.Int(i)); };
    r.columns.push_back(DescribeStoredColumn(cols.Text(0), cols.Text(1), cols.Int(2), optInt(3), optInt(4),
                                             cols.Text(5) != "N", cols.Text(6) == "C", cols.Int(7)));
  }
  if (r.isView) {
    Statement v = storage_.Query("SELECT text FROM views WHERE obj_id = ?1");
    v.Bind(1, objId);
    if (v.Step()) r.viewText = v.Text(0);
  }
  return r;
}

}  // namespace oraemu::sel
