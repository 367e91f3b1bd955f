#include "update/grant_steps.h"

#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "dictionary/grouped_lists.h"
#include "dictionary/row_sources.h"
#include "sdb/document_vocabulary.h"
#include "sdb/entry.h"

namespace skelvane {
namespace {

using namespace sdb;

// The keywords of a privilege text, each once, in the text's order; empty
// pieces dropped. Keywords are compared without regard to case, as the
// database reads them.
std::vector<std::string> Keywords(const std::string& text) {
  std::vector<std::string> keywords;
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::string keyword = Trimmed(std::string_view(text).substr(start, comma - start));
    bool seen = keyword.empty();
    for (const std::string& k : keywords) seen = seen || SameText(k, keyword);
    if (!seen) keywords.push_back(keyword);
    start = comma + 1;
  }
  return keywords;
}

// The keywords of `from` that `other` lacks, joined by ",".
std::string Missing(const std::vector<std::string>& from, const std::vector<std::string>& other) {
  std::string list;
  for (const std::string& keyword : from) {
    bool held = false;
    for (const std::string& k : other) held = held || SameText(k, keyword);
    if (held) continue;
    if (!list.empty()) list += ",";
    list += keyword;
  }
  return list;
}

struct TLinkField {
  const char* Key;
  bool Secret;
};

constexpr TLinkField kLinkFields[] = {
    {kKeyUsername, false},
    {kKeyPassword, true},
    {kKeyHost, false},
};

// The first field in which the document's link and the database's differ, as
// a log text ("" when they are equal). A password is named, never shown.
std::string LinkDifference(const TTreeResult& link, TRowSet& links) {
  for (const TLinkField& field : kLinkFields) {
    const std::string document = GetEntryValue(link, field.Key);
    const std::string database = links.Value(field.Key);
    if (document == database) continue;
    if (field.Secret) return field.Key;
    return std::string(field.Key) + " " + document + "=" + database;
  }
  return {};
}

}  // namespace

void CheckGrant(TCompareContext& c, const std::string& object, const std::string& grantee,
                const std::string& privileges, TRowSet& privilegeRows) {
  const std::string database = PrivilegeText(privilegeRows);
  if (database == privileges) return;
  // An empty text in the document is no reason to take every privilege away.
  if (privileges.empty()) return;

  // Only the difference is revoked: a full revoke would also take the grant
  // option, privileges the document cannot list, and the grants the grantee
  // passed on.
  const std::vector<std::string> held = Keywords(database);
  const std::vector<std::string> wanted = Keywords(privileges);
  const std::string revoke = Missing(held, wanted);
  const std::string grant = Missing(wanted, held);
  if (!revoke.empty()) {
    c.Execute("REVOKE " + revoke + " ON " + object + " FROM " + grantee, "\trevoke...",
              {TEffectKind::Revoke, object, grantee, {}, revoke});
  }
  if (!grant.empty()) {
    c.Execute("GRANT " + grant + " ON " + object + " TO " + grantee,
              "\tgrant " + grant + " on " + object + " to " + grantee,
              {TEffectKind::Grant, object, grantee, {}, grant});
  }
  c.Host.WriteLog("Check \"" + object + "+" + grantee + "\" p:" + privileges + "=" + database,
                  false, true);
}

void AddGrant(TCompareContext& c, const std::string& object, const std::string& grantee,
              const std::string& privileges) {
  if (privileges.empty()) return;
  c.Execute("GRANT " + privileges + " ON " + object + " TO " + grantee,
            "\tAdd \"" + object + "+" + grantee + "\"", {TEffectKind::Grant, object, grantee, {}, privileges});
}

void AddSynonym(TCompareContext& c, const std::string& object, const std::string& grantee,
                const std::string& synonym) {
  c.Execute("CREATE " + grantee + " SYNONYM " + synonym + " FOR " + object,
            "\tAdd synonym " + synonym, {TEffectKind::CreateSynonym, object, synonym, grantee});
}

void CheckDbLink(TCompareContext& c, const std::string& linkName, const TTreeResult& link,
                 TRowSet& links, bool missing) {
  const std::string user = GetEntryValue(link, kKeyUsername);
  std::string password = GetEntryValue(link, kKeyPassword);
  const std::string host = GetEntryValue(link, kKeyHost);

  if (!missing) {
    const std::string difference = LinkDifference(link, links);
    if (difference.empty()) return;
    // Servers since 12c never show a password, so a document rarely has one;
    // re-creating the link with a placeholder would break a working link.
    if (password.empty()) {
      c.Log("\t\tdb link " + linkName + " differs (" + difference +
            "), left as it is: the document has no password");
      return;
    }
    c.Execute("DROP DATABASE LINK \"" + linkName + "\"", "\t\tdrop db link " + linkName,
              {TEffectKind::DropDbLink, {}, linkName});
  }
  // A placeholder the user sees and replaces; an empty password would not parse.
  if (password.empty()) password = "<pwd>";
  c.Execute("create database link \"" + linkName + "\" connect to " + user + " identified by \"" +
                password + "\" using '" + host + "'",
            "\t\tcreate db link " + linkName,
            {TEffectKind::CreateDbLink, {}, linkName, {}, {}, {}, {}, {{user, password, host}}});
}

}  // namespace skelvane
