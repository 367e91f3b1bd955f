// The words of a schema document: top-level sections, the letters of the
// object nodes, group nodes and keys. The writer and the compare both spell
// them from here, so a key cannot drift between what is written and what is read.
#ifndef SKELVANE_SDB_DOCUMENT_VOCABULARY_H
#define SKELVANE_SDB_DOCUMENT_VOCABULARY_H

namespace skelvane::sdb {

// Top-level nodes, in document order.
inline constexpr const char* kSectionShema = "shema";
inline constexpr const char* kSectionTables = "tables";
inline constexpr const char* kSectionSequences = "sequences";
inline constexpr const char* kSectionTriggers = "triggers";
inline constexpr const char* kSectionFunctions = "functions";
inline constexpr const char* kSectionProcedures = "procedures";
inline constexpr const char* kSectionViews = "views";
inline constexpr const char* kSectionSynonyms = "synonyms";
inline constexpr const char* kSectionPrivileges = "privileges";
inline constexpr const char* kSectionDbLinks = "db_links";

// Object node letters.
inline constexpr char kNodeTable = 't';
inline constexpr char kNodeColumn = 'f';
inline constexpr char kNodeIndex = 'i';       // members of "indexes"
inline constexpr char kNodeConstraint = 'i';  // members of "constraints", written like indexes
inline constexpr char kNodeSequence = 's';
inline constexpr char kNodeTrigger = 't';
inline constexpr char kNodeFunction = 'f';
inline constexpr char kNodeProcedure = 'p';
inline constexpr char kNodeView = 'v';
inline constexpr char kNodeSynonym = 's';
inline constexpr char kNodePrivilege = 'p';
inline constexpr char kNodeDbLink = 'd';

// Group nodes of a table or view.
inline constexpr const char* kGroupFields = "fields";
inline constexpr const char* kGroupIndexes = "indexes";
inline constexpr const char* kGroupConstraints = "constraints";

// Keys shared by several nodes.
inline constexpr const char* kKeyName = "name";
inline constexpr const char* kKeyComments = "comments";
inline constexpr const char* kKeyText = "text";  // routine source, view query

// Column keys.
inline constexpr const char* kKeyType = "type";  // also a constraint's type code
inline constexpr const char* kKeyNull = "null";
inline constexpr const char* kKeyDefault = "default";

// Index keys.
inline constexpr const char* kKeyUniqueness = "uniqueness";
inline constexpr const char* kKeyColumns = "columns";

// Constraint keys.
inline constexpr const char* kKeyIndex = "index";
inline constexpr const char* kKeyExpr = "expr";
inline constexpr const char* kKeyRef = "ref";
inline constexpr const char* kKeyStatus = "status";  // also a disabled trigger's
inline constexpr const char* kStatusDisabled = "DISABLED";

// Sequence keys.
inline constexpr const char* kKeyIncrementBy = "increment_by";
inline constexpr const char* kKeyLastNumber = "last_number";
inline constexpr const char* kKeyMinValue = "min_value";
inline constexpr const char* kKeyMaxValue = "max_value";
inline constexpr const char* kKeyCycle = "cycle";
inline constexpr const char* kKeyOrder = "order";
inline constexpr const char* kKeyCache = "cache";

// Trigger key.
inline constexpr const char* kKeyTriggerBody = "trigger_body";

// Synonym and privilege keys.
inline constexpr const char* kKeyObject = "object";
inline constexpr const char* kKeyGrantee = "grantee";
inline constexpr const char* kKeyPriv = "priv";

// Database link keys.
inline constexpr const char* kKeyDbLink = "db_link";
inline constexpr const char* kKeyUsername = "username";
inline constexpr const char* kKeyPassword = "password";
inline constexpr const char* kKeyHost = "host";

}  // namespace skelvane::sdb

#endif
