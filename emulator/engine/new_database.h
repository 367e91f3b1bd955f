// What a new database holds beyond its users and roles.
#ifndef ORAEMU_NEW_DATABASE_H
#define ORAEMU_NEW_DATABASE_H

#include <string>

#include "engine/storage.h"

namespace oraemu {

// The public synonyms a 19c database has for its system objects (some
// thousands), so that programs reading every synonym see a real count.
// Called inside the creating transaction.
void AddSystemSynonyms(Storage& s);

// Oracle numbers constraints database-wide, from a point that differs from
// one database to the next; system-made names (SYS_C...) therefore differ
// between two databases built by the same script. The start is derived
// from the database name, so a database rebuilt under its name repeats it.
void SeedConstraintNumbers(Storage& s, const std::string& dbName);

}  // namespace oraemu

#endif
