#include "oracle/dataset.h"

#include "common/text.h"
#include "oracle/dataset_field.h"
#include "oracle/dataset_search.h"

namespace skelvane::oracle {

namespace {

const TSessionPreferences& PreferencesOf(const TOracleQuery& q) {
  static const TSessionPreferences defaults;
  return q.Session ? q.Session->Preferences : defaults;
}

}  // namespace

// The data set is closed with its session's logoff, like the queries.
struct TOracleDataSet::Impl : TOracleDependant {
  explicit Impl(TOracleDataSet& owner) : ds(owner) {}
  ~Impl() override {
    if (registered) registered->RemoveDependant(this);
  }

  TOracleDataSet& ds;
  TOracleQuery query;
  std::vector<std::unique_ptr<TDataSetField>> fields;
  TRecordStore store;
  bool eof = true;
  bool active = false;
  TOracleSession* registered = nullptr;

  void CloseOnLogOff() noexcept override { Drop(); }

  void Drop() noexcept {
    fields.clear();
    store.Records.clear();
    store.Current = -1;
    eof = true;
    active = false;
  }

  void Register() {
    TOracleSession* s = query.Session;
    if (registered == s) return;
    if (registered) registered->RemoveDependant(this);
    if (s) s->AddDependant(this);
    registered = s;
  }

  void First() {
    store.Current = store.Records.empty() ? -1 : 0;
    eof = store.Records.empty();
  }

  void Open() {
    Drop();
    query.Execute();
    const TSessionPreferences& prefs = PreferencesOf(query);
    try {
      std::vector<TFieldSpec> specs;
      for (int i = 0; i < query.FieldCount(); ++i) specs.push_back(FieldSpecFor(query, i, prefs));
      while (!query.Eof()) {
        TRecord record;
        record.reserve(specs.size());
        for (size_t i = 0; i < specs.size(); ++i)
          record.push_back(ReadFieldValue(query, static_cast<int>(i), specs[i], prefs));
        store.Records.push_back(std::move(record));
        query.Next();
      }
      for (size_t i = 0; i < specs.size(); ++i)
        fields.push_back(std::make_unique<TDataSetField>(store, static_cast<int>(i), std::move(specs[i])));
    } catch (...) {
      Drop();
      throw;
    }
    Register();
    active = true;
    First();
  }

  TDataSetField* Find(const std::string& name) const {
    for (const auto& f : fields)
      if (SameText(f->FieldName(), name)) return f.get();
    return nullptr;
  }

  TDataSetField& FieldForColumn(const std::string& name) const {
    TDataSetField* f = Find(name);
    if (!f) throw EDatabaseError(ds.Name + ": Field '" + name + "' not found");
    return *f;
  }

  bool Search(const std::string& keyColumns, const TVariant& keyValues, const TSearchRecordOptions& options) {
    using O = TSearchRecordOption;
    if (!active) throw EDatabaseError(ds.Name + ": Cannot perform this operation on a closed dataset");
    if (!SearchOptionsValid(options)) throw EDatabaseError(ds.Name + ".SearchRecord options invalid");
    const std::vector<std::string> names = SplitKeyColumns(keyColumns);
    if (names.size() == 1 && SameText(names[0], "ROWID") && !Find("ROWID"))
      throw EDatabaseError("You cannot search a rowid if it is not included in the select list");
    std::vector<const TDataSetField*> keys;
    for (const auto& n : names) keys.push_back(&FieldForColumn(n));
    const size_t count = keyValues.IsArray() ? keyValues.Items().size() : 1;
    if (count != keys.size())
      throw EDatabaseError(ds.Name + ".SearchRecord: number of fields and values do not match");

    const bool trim = PreferencesOf(query).TrimStringFields;
    std::vector<TKeyTest> tests;
    for (size_t k = 0; k < keys.size(); ++k)
      tests.push_back(MakeKeyTest(keys[k]->Spec(), keyValues.IsArray() ? keyValues.Items()[k] : keyValues,
                                  options, trim));

    const int n = static_cast<int>(store.Records.size());
    int pos = store.Current;
    bool backward = options.count(O::srBackward) != 0;
    if (options.count(O::srFromEnd)) {
      pos = n;
      backward = true;
    } else if (options.count(O::srFromBeginning)) {
      pos = -1;
      backward = false;
    }
    for (pos += backward ? -1 : 1; pos >= 0 && pos < n; pos += backward ? -1 : 1) {
      const TRecord& record = store.Records[static_cast<size_t>(pos)];
      bool match = true;
      for (size_t k = 0; k < keys.size() && match; ++k)
        match = KeyMatches(keys[k]->Spec(), record[static_cast<size_t>(keys[k]->Index())], tests[k], options, trim);
      if (match) {
        if (!options.count(O::srDontMove)) {
          store.Current = pos;
          eof = false;
        }
        return true;
      }
    }
    return false;
  }
};

TOracleDataSet::TOracleDataSet() : impl_(std::make_unique<Impl>(*this)) {}
TOracleDataSet::~TOracleDataSet() = default;

TOracleQuery& TOracleDataSet::Query() { return impl_->query; }
void TOracleDataSet::SetSession(TOracleSession* session) { impl_->query.Session = session; }
void TOracleDataSet::SetSQL(std::vector<std::string> lines) { impl_->query.SetSQL(std::move(lines)); }
void TOracleDataSet::AddVariable(const std::string& name, int typeCode) { impl_->query.AddVariable(name, typeCode); }
void TOracleDataSet::AssignVariable(const std::string& name, const TVariant& value) {
  impl_->query.AssignVariable(name, value);
}

void TOracleDataSet::Open() { impl_->Open(); }
void TOracleDataSet::Close() { impl_->Drop(); }
bool TOracleDataSet::Active() const { return impl_->active; }
void TOracleDataSet::First() { impl_->First(); }

void TOracleDataSet::Next() {
  TRecordStore& s = impl_->store;
  if (s.Current + 1 < static_cast<int>(s.Records.size())) {
    ++s.Current;
    impl_->eof = false;
  } else {
    impl_->eof = true;  // the last record stays current
  }
}

bool TOracleDataSet::Eof() const { return impl_->eof; }
int TOracleDataSet::RecordCount() const { return static_cast<int>(impl_->store.Records.size()); }
int TOracleDataSet::FieldCount() const { return static_cast<int>(impl_->fields.size()); }

TField& TOracleDataSet::Field(int index) {
  if (index < 0 || index >= FieldCount()) throw EDatabaseError(Name + ": Field index out of range");
  return *impl_->fields[static_cast<size_t>(index)];
}

TField& TOracleDataSet::FieldForColumn(const std::string& name) { return impl_->FieldForColumn(name); }

bool TOracleDataSet::LocateRecord(const std::string& keyColumns, const TVariant& keyValues) {
  return SearchRecord(keyColumns, keyValues, {TSearchRecordOption::srFromBeginning});
}

bool TOracleDataSet::SearchRecord(const std::string& keyColumns, const TVariant& keyValues,
                                  const TSearchRecordOptions& options) {
  return impl_->Search(keyColumns, keyValues, options);
}

}  // namespace skelvane::oracle
