#include "update/plan_sink.h"

#include "update/plan_effects.h"

namespace skelvane {

std::string ScriptText(const std::string& statement, const TStatementEffect& effect) {
  switch (effect.Kind) {
    case TEffectKind::ReplaceTrigger:
    case TEffectKind::ReplaceFunction:
    case TEffectKind::ReplaceProcedure: return statement + "\n/";
    default: return statement + ";";
  }
}

void TPlanSink::Execute(TOperationHost& host, const std::string& statement, const std::string&,
                        const TStatementEffect& effect) {
  host.WritePlan(ScriptText(statement, effect));
  ++statements_;
  ApplyEffect(snapshot_, effect);
}

}  // namespace skelvane

namespace skelvane {

void TExecutingSink::Execute(TOperationHost& host, const std::string& statement,
                             const std::string& successMessage, const TStatementEffect& effect) {
  const int rejected = dm_.RejectedStatements;
  dm_.ExecuteStatement(host, statement, successMessage);
  if (snapshot_ && dm_.RejectedStatements == rejected) ApplyEffect(*snapshot_, effect);
}

}  // namespace skelvane
