// Every statement other than a query: DDL that changes the stored
// dictionary, whole or not at all.
#ifndef ORAEMU_DDL_H
#define ORAEMU_DDL_H

#include <string>

#include "engine/catalog.h"
#include "engine/engine.h"

namespace oraemu {

// Parses and applies one statement in one transaction; throws EOraError
// (with the parse error offset) and then leaves the storage unchanged.
Result ExecuteDdl(DdlContext& ctx, const std::string& sql);

}  // namespace oraemu

#endif
