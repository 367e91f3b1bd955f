// The DDL statement handlers. Each is called with the parser positioned
// after the words that chose it, parses the rest and applies it inside the
// caller's transaction; each returns the statement's SQL command code.
#ifndef ORAEMU_DDL_STATEMENTS_H
#define ORAEMU_DDL_STATEMENTS_H

#include <cstdint>

#include "engine/catalog.h"
#include "engine/parser.h"

namespace oraemu {

uint16_t CreateTable(DdlContext& ctx, Parser& p);
uint16_t AlterTable(DdlContext& ctx, Parser& p);
uint16_t DropTable(DdlContext& ctx, Parser& p);
uint16_t CommentOn(DdlContext& ctx, Parser& p);
uint16_t CreateIndex(DdlContext& ctx, Parser& p, bool unique);
uint16_t DropIndex(DdlContext& ctx, Parser& p);
uint16_t CreateSequence(DdlContext& ctx, Parser& p);
uint16_t DropSequence(DdlContext& ctx, Parser& p);
// TRIGGER, FUNCTION, PROCEDURE, PACKAGE [BODY]: the parser stands on the kind word.
uint16_t CreateStoredCode(DdlContext& ctx, Parser& p, bool orReplace);
uint16_t DropStoredCode(DdlContext& ctx, Parser& p);
uint16_t AlterTrigger(DdlContext& ctx, Parser& p);
uint16_t CreateView(DdlContext& ctx, Parser& p, bool orReplace);
uint16_t DropView(DdlContext& ctx, Parser& p);
uint16_t Grant(DdlContext& ctx, Parser& p);
uint16_t Revoke(DdlContext& ctx, Parser& p);
uint16_t CreateSynonym(DdlContext& ctx, Parser& p, bool orReplace, bool isPublic);
uint16_t DropSynonym(DdlContext& ctx, Parser& p, bool isPublic);
uint16_t CreateDbLink(DdlContext& ctx, Parser& p, bool isPublic);
uint16_t DropDbLink(DdlContext& ctx, Parser& p, bool isPublic);
uint16_t CreateUser(DdlContext& ctx, Parser& p);
uint16_t AlterUser(DdlContext& ctx, Parser& p);
uint16_t DropUser(DdlContext& ctx, Parser& p);

}  // namespace oraemu

#endif
