#include "oracle/query.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "common/text.h"
#include "oracle/field_format.h"
#include "oracle/query_columns.h"
#include "oracle/query_oci7.h"
#include "oracle/query_text.h"

namespace skelvane::oracle {

namespace {

const char kBeyondEof[] = "You cannot access field data beyond Eof";
const int kMaxColumnName = 30;

bool IsOk(sword st) { return st == OCI_SUCCESS || st == OCI_SUCCESS_WITH_INFO; }

// Oracle 7 return codes that end a fetch without an error.
bool Acceptable7(int rc) { return rc == 0 || rc == 1403 || rc == 1406; }

const TSessionPreferences& DefaultPreferences() {
  static const TSessionPreferences defaults;
  return defaults;
}

}  // namespace

struct TOracleQuery::Impl {
  explicit Impl(TOracleQuery& owner) : q(owner) {}

  TOracleQuery& q;
  std::vector<std::string> sql;
  TVariables variables;
  std::string parsedText;
  // Names and types of the variables the parsed statement was bound with.
  std::vector<std::pair<std::string, int>> parsedVariables;
  int statementType = 0;
  std::vector<std::unique_ptr<TFieldData>> columns;
  bool described = false;
  int rowsPerFetch = 25;
  int currentRow = 0;
  int rowsInBatch = 0;
  bool eof = false;
  int errorLine = 0;
  int errorColumn = 0;

  // The cursor: handles of the session it was opened on.
  TOracleSession* cursorSession = nullptr;
  OCIStmt* stmt = nullptr;
  OCIError* err = nullptr;
  OCIError* err2 = nullptr;  // for reads that must not overwrite the error being raised
  void* rowid = nullptr;
  // The cursor on the Oracle 7 interface, used instead of the handles.
  bool v7 = false;
  TCursor7 cursor7;
  TOracleSession* registered = nullptr;

  const TSessionPreferences& Prefs() const {
    return q.Session ? q.Session->Preferences : DefaultPreferences();
  }

  TOracleSession& CheckSession() const {
    if (!q.Session) throw std::runtime_error(kSessionUndefined);
    if (!q.Session->Connected()) throw std::runtime_error(kNotLoggedOn);
    return *q.Session;
  }

  void Register(TOracleSession& s) {
    if (registered == &s) return;
    if (registered) registered->RemoveDependant(&q);
    s.AddDependant(&q);
    registered = &s;
  }

  void ForgetBinds() {
    for (int i = 0; i < variables.Count(); ++i) {
      variables[i].Bound = false;
      variables[i].BoundBuffer = nullptr;
    }
  }

  // Frees the cursor's handles while their environment still exists.
  void ReleaseCursor() noexcept {
    if (cursorSession) cursor7.Close(*cursorSession);
    v7 = false;
    if (cursorSession && cursorSession->Connected()) {
      const TOciEntryPoints& oci = cursorSession->Oci();
      if (stmt && oci.OCIHandleFree) oci.OCIHandleFree(stmt, OCI_HTYPE_STMT);
      if (rowid && oci.OCIDescriptorFree) oci.OCIDescriptorFree(rowid, OCI_DTYPE_ROWID);
      if (err && oci.OCIHandleFree) oci.OCIHandleFree(err, OCI_HTYPE_ERROR);
      if (err2 && oci.OCIHandleFree) oci.OCIHandleFree(err2, OCI_HTYPE_ERROR);
    }
    stmt = nullptr;
    rowid = nullptr;
    err = err2 = nullptr;
    cursorSession = nullptr;
  }

  void CloseCursor() noexcept {
    columns.clear();
    ReleaseCursor();
    parsedText.clear();
    parsedVariables.clear();
    statementType = 0;
    described = false;
    eof = true;
    ForgetBinds();
  }

  void OpenCursor(TOracleSession& s) {
    if (cursorSession && (cursorSession != &s || v7 == s.UsesOCI8())) CloseCursor();
    if (!s.UsesOCI8()) {
      if (cursor7.IsOpen()) return;
      cursorSession = &s;
      v7 = true;
      cursor7.Open(s);
      return;
    }
    if (err) return;
    cursorSession = &s;
    const TOciEntryPoints& oci = s.Oci();
    sword st = oci.OCIHandleAlloc(s.EnvHandle(), reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
    if (st != OCI_SUCCESS) {
      err = nullptr;
      s.RaiseError(s.ErrorHandle(), st);
    }
    st = oci.OCIHandleAlloc(s.EnvHandle(), reinterpret_cast<void**>(&err2), OCI_HTYPE_ERROR, 0, nullptr);
    if (st != OCI_SUCCESS) {
      err2 = nullptr;
      s.RaiseError(s.ErrorHandle(), st);
    }
    // The row-id descriptor belongs to the cursor; nothing here reads it, so a
    // client without it is no reason to fail.
    if (oci.OCIDescriptorAlloc &&
        oci.OCIDescriptorAlloc(s.EnvHandle(), &rowid, OCI_DTYPE_ROWID, 0, nullptr) != OCI_SUCCESS)
      rowid = nullptr;
  }

  std::vector<std::pair<std::string, int>> VariableShape() const {
    std::vector<std::pair<std::string, int>> shape;
    for (int i = 0; i < variables.Count(); ++i) shape.emplace_back(variables[i].Name, variables[i].TypeCode);
    return shape;
  }

  bool MustParse(const std::string& text) const {
    if (!(v7 ? cursor7.IsOpen() : stmt != nullptr) || !q.Optimize || text != parsedText || !ParseIsReusable(statementType)) return true;
    if (VariableShape() != parsedVariables) return true;
    for (int i = 0; i < variables.Count(); ++i) {
      const TVariableData& v = variables[i];
      if (v.TypeCode == otLong || v.TypeCode == otLongRaw || v.ElementCount > 1) return true;
    }
    return false;
  }

  void Parse(TOracleSession& s, const std::string& text, bool describeOnly) {
    const TOciEntryPoints& oci = s.Oci();
    columns.clear();
    described = false;
    statementType = 0;
    parsedText = text;
    parsedVariables = VariableShape();
    ForgetBinds();
    if (v7) {
      // Oracle 7 parses at once (and runs DDL then), so a parse error has
      // its position; Describe defers the work to the describe step.
      if (const int rc = cursor7.Parse(s, text, describeOnly); rc != 0) {
        ErrorPosition(parsedText, cursor7.ErrorOffset(), errorLine, errorColumn);
        parsedText.clear();
        s.RaiseError7(rc);
      }
      statementType = cursor7.FunctionCode();
      return;
    }
    if (stmt) {
      oci.OCIHandleFree(stmt, OCI_HTYPE_STMT);
      stmt = nullptr;
    }
    auto fail = [&](OCIError* e, sword st) {
      parsedText.clear();
      s.RaiseError(e, st);
    };
    sword st = oci.OCIHandleAlloc(s.EnvHandle(), reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    if (st != OCI_SUCCESS) {
      stmt = nullptr;
      fail(s.ErrorHandle(), st);
    }
    st = oci.OCIStmtPrepare(stmt, err, reinterpret_cast<const OraText*>(text.data()),
                            static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
    if (!IsOk(st)) fail(err, st);
    ub4 zero = 0;
    st = oci.OCIAttrSet(stmt, OCI_HTYPE_STMT, &zero, sizeof zero, OCI_ATTR_PREFETCH_ROWS, err);
    if (!IsOk(st)) fail(err, st);
    st = oci.OCIAttrSet(stmt, OCI_HTYPE_STMT, &zero, sizeof zero, OCI_ATTR_PREFETCH_MEMORY, err);
    if (!IsOk(st)) fail(err, st);
    ub2 type = 0;
    st = oci.OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, err);
    if (!IsOk(st)) fail(err, st);
    statementType = MapStatementType(type);
  }

  void Bind(TOracleSession& s) {
    if (v7) return cursor7.Bind(s, variables);
    const TOciEntryPoints& oci = s.Oci();
    for (int i = 0; i < variables.Count(); ++i) {
      TVariableData& v = variables[i];
      if (v.TypeCode == otSubst) continue;
      void* buf = v.Buffer.empty() ? nullptr : v.Buffer.data();
      if (v.Bound && v.BoundBuffer == buf) continue;
      int size, dty;
      v.BindShape(4000 + 1, size, dty);  // one byte per character
      OCIBind* bind = nullptr;
      sword st = oci.OCIBindByName(stmt, &bind, err, reinterpret_cast<const OraText*>(v.Name.data()),
                                   static_cast<sb4>(v.Name.size()), buf, size, static_cast<ub2>(dty),
                                   v.Indicators.data(), nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
      if (!IsOk(st)) s.RaiseError(err, st);
      v.Bound = true;
      v.BoundBuffer = buf;
    }
  }

  int Iterations() const {
    int n = 1;
    for (int i = 0; i < variables.Count(); ++i)
      if (variables[i].TypeCode != otSubst) n = std::max(n, variables[i].ElementCount);
    return n;
  }

  // Fetch results 1403 (no data) and 1406 (truncated) are not errors; any
  // other information (a compilation error among them) is.
  bool Acceptable(TOracleSession& s, sword st) const {
    if (st == OCI_SUCCESS || st == OCI_NO_DATA) return true;
    if (st != OCI_ERROR && st != OCI_SUCCESS_WITH_INFO) return false;
    int code = 0;
    std::string text;
    s.ReadError(err, code, text);
    return code == 1403 || code == 1406;
  }

  void ComputeErrorPosition(TOracleSession& s) {
    if (v7) return ErrorPosition(parsedText, cursor7.ErrorOffset(), errorLine, errorColumn);
    const TOciEntryPoints& oci = s.Oci();
    const ub4 attr = s.Has81() ? OCI_ATTR_PARSE_ERROR_OFFSET : OCI_ATTR_PARSE_ERROR_OFFSET_OLD;
    ub2 offset = 0;
    if (!IsOk(oci.OCIAttrGet(stmt, OCI_HTYPE_STMT, &offset, nullptr, attr, err2))) {
      offset = 0;  // older clients keep it on the error handle
      if (!IsOk(oci.OCIAttrGet(err, OCI_HTYPE_ERROR, &offset, nullptr, attr, err2))) offset = 0;
    }
    ErrorPosition(parsedText, offset, errorLine, errorColumn);
  }

  void DescribeColumns(TOracleSession& s) {
    const TOciEntryPoints& oci = s.Oci();
    columns.clear();
    ub4 count = 0;
    sword st = oci.OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, err);
    if (!IsOk(st)) s.RaiseError(err, st);
    rowsPerFetch = std::max(1, q.ReadBuffer);
    for (ub4 pos = 1; pos <= count; ++pos) {
      void* param = nullptr;
      st = oci.OCIParamGet(stmt, OCI_HTYPE_STMT, err, &param, pos);
      if (!IsOk(st)) s.RaiseError(err, st);
      ub2 size = 0, type = 0;
      sb2 precision = 0;
      sb1 scale = 0;
      ub1 nullable = 1;
      OraText* name = nullptr;
      ub4 nameLength = 0;
      st = oci.OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, err);
      if (IsOk(st)) st = oci.OCIAttrGet(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, err);
      if (IsOk(st)) st = oci.OCIAttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, err);
      if (IsOk(st)) st = oci.OCIAttrGet(param, OCI_DTYPE_PARAM, &precision, nullptr, OCI_ATTR_PRECISION, err);
      if (IsOk(st)) st = oci.OCIAttrGet(param, OCI_DTYPE_PARAM, &scale, nullptr, OCI_ATTR_SCALE, err);
      if (IsOk(st)) st = oci.OCIAttrGet(param, OCI_DTYPE_PARAM, &nullable, nullptr, OCI_ATTR_IS_NULL, err);
      auto f = std::make_unique<TFieldData>();
      if (IsOk(st) && name)
        f->Name.assign(reinterpret_cast<const char*>(name), std::min<ub4>(nameLength, kMaxColumnName));
      if (oci.OCIDescriptorFree) oci.OCIDescriptorFree(param, OCI_DTYPE_PARAM);
      if (!IsOk(st)) s.RaiseError(err, st);
      f->DataSize = size;
      f->DataType = type;
      f->Precision = precision;
      f->Scale = (scale == -127 && precision == 0) ? 0 : scale;
      f->Nullable = nullable != 0;
      f->Choice = ChooseExternalType(type, size, f->Precision, f->Scale, q.StringFieldsOnly, Prefs());
      if (f->Choice.Type == TExternalType::Long && q.LongBufferSize > 0) {
        f->Choice.Dty = SQLT_STR;
        f->Choice.ElementSize = q.LongBufferSize;
      }
      if (f->Piecewise()) rowsPerFetch = 1;
      columns.push_back(std::move(f));
    }
  }

  void DefineColumns(TOracleSession& s) {
    const TOciEntryPoints& oci = s.Oci();
    const size_t rows = static_cast<size_t>(rowsPerFetch);
    for (size_t i = 0; i < columns.size(); ++i) {
      TFieldData& f = *columns[i];
      f.Indicators.assign(rows, -1);
      f.Lengths.assign(rows, 0);
      f.ReturnCodes.assign(rows, 0);
      if (f.Choice.Type == TExternalType::None) continue;  // nothing to fetch it as
      const ub4 pos = static_cast<ub4>(i + 1);
      sword st;
      if (f.Piecewise()) {
        st = oci.OCIDefineByPos(stmt, &f.Define, err, pos, nullptr, 0x7FFFFFFF, f.Choice.Dty, nullptr, nullptr,
                                nullptr, OCI_DYNAMIC_FETCH);
        if (IsOk(st)) st = oci.OCIDefineDynamic(f.Define, err, &f, &LongPieceCallback);
      } else {
        f.Buffer.assign(rows * static_cast<size_t>(f.Choice.ElementSize), 0);
        st = oci.OCIDefineByPos(stmt, &f.Define, err, pos, f.Buffer.data(), f.Choice.ElementSize, f.Choice.Dty,
                                f.Indicators.data(), f.Lengths.data(), f.ReturnCodes.data(), OCI_DEFAULT);
      }
      if (!IsOk(st)) s.RaiseError(err, st);
    }
  }

  void ResetLongs() {
    for (auto& f : columns)
      if (f->Piecewise()) {
        f->Pieces.clear();
        std::fill(f->Indicators.begin(), f->Indicators.end(), -1);
      }
  }

  void Fetch(TOracleSession& s, int rows) {
    const TOciEntryPoints& oci = s.Oci();
    ResetLongs();
    if (v7) {
      const int rc = cursor7.Fetch(s, rows);
      if (!Acceptable7(rc)) s.RaiseError7(rc);
      cursor7.ReadLongs(s, columns);
      return;
    }
    sword st = s.Has90() && oci.OCIStmtFetch2
                   ? oci.OCIStmtFetch2(stmt, err, static_cast<ub4>(rows), OCI_FETCH_NEXT, 0, OCI_DEFAULT)
                   : oci.OCIStmtFetch(stmt, err, static_cast<ub4>(rows), OCI_FETCH_NEXT, OCI_DEFAULT);
    if (!Acceptable(s, st)) s.RaiseError(err, st);
  }

  int RowCount() const {
    if (v7) return cursor7.IsOpen() ? cursor7.RowCount() : 0;
    if (!stmt || !cursorSession || !cursorSession->Connected()) return 0;
    ub4 n = 0;
    if (!IsOk(cursorSession->Oci().OCIAttrGet(stmt, OCI_HTYPE_STMT, &n, nullptr, OCI_ATTR_ROW_COUNT, err2)))
      return 0;
    return static_cast<int>(n);
  }

  // Parse when needed, bind, and for a query not yet described describe and
  // define it, then (unless describeOnly) fetch the first batch. True when it
  // described the query.
  bool Prepare(TOracleSession& s, bool describeOnly) {
    Register(s);
    eof = true;
    errorLine = errorColumn = 0;
    const std::string text = BuildStatementText(sql, variables);
    if (q.Debug && DebugHook()) DebugHook()(DebugText());
    OpenCursor(s);
    if (MustParse(text)) Parse(s, text, describeOnly);
    Bind(s);
    if (statementType != 4 || described) return false;
    if (v7) {
      if (const int rc = cursor7.Describe(s, columns, rowsPerFetch, q.ReadBuffer, q.StringFieldsOnly, Prefs())) {
        ComputeErrorPosition(s);
        s.RaiseError7(rc);
      }
      // Bounded LONG columns come in arrays here too.
      if (q.LongBufferSize > 0) {
        rowsPerFetch = std::max(1, q.ReadBuffer);
        for (auto& f : columns) {
          if (f->Choice.Type == TExternalType::Long) {
            f->Choice.Dty = SQLT_STR;
            f->Choice.ElementSize = q.LongBufferSize;
          }
          if (f->Piecewise()) rowsPerFetch = 1;
        }
      }
      cursor7.Define(s, columns, rowsPerFetch);
      described = true;
      if (!describeOnly) ExecuteFetch7(s);
      return true;
    }
    const TOciEntryPoints& oci = s.Oci();
    sword st = oci.OCIStmtExecute(s.SvcCtxHandle(), stmt, err, 0, 0, nullptr, nullptr,
                                  describeOnly ? OCI_DESCRIBE_ONLY : OCI_DEFAULT);
    if (!Acceptable(s, st)) {
      ComputeErrorPosition(s);
      s.RaiseError(err, st);
    }
    DescribeColumns(s);
    DefineColumns(s);
    described = true;
    if (!describeOnly) Fetch(s, rowsPerFetch);
    return true;
  }

  // oexfet: executes the query and fetches the first batch.
  void ExecuteFetch7(TOracleSession& s) {
    ResetLongs();
    if (const int rc = cursor7.ExecuteFetch(s, rowsPerFetch); !Acceptable7(rc)) {
      ComputeErrorPosition(s);
      s.RaiseError7(rc);
    }
    cursor7.ReadLongs(s, columns);
  }

  void Execute() {
    TOracleSession& s = CheckSession();
    const bool firstBatchFetched = Prepare(s, false);
    const TOciEntryPoints& oci = s.Oci();
    if (statementType == 4) {
      if (!firstBatchFetched && v7) {
        ExecuteFetch7(s);
      } else if (!firstBatchFetched) {  // described before: executing delivers the first batch
        ResetLongs();
        sword st = oci.OCIStmtExecute(s.SvcCtxHandle(), stmt, err, static_cast<ub4>(rowsPerFetch), 0, nullptr,
                                      nullptr, OCI_DEFAULT);
        if (!Acceptable(s, st)) {
          ComputeErrorPosition(s);
          s.RaiseError(err, st);
        }
      }
      currentRow = 0;
      rowsInBatch = RowCount();
      eof = rowsInBatch == 0;
      return;
    }
    if (v7) {
      if (const int rc = cursor7.Execute(s, Iterations()); rc != 0) {
        ComputeErrorPosition(s);
        parsedText.clear();
        s.RaiseError7(rc);
      }
      statementType = cursor7.FunctionCode();
      eof = true;
      return;
    }
    sword st = oci.OCIStmtExecute(s.SvcCtxHandle(), stmt, err, static_cast<ub4>(Iterations()), 0, nullptr,
                                  nullptr, OCI_DEFAULT);
    // A statement that took effect with a warning (ORA-24344: created with
    // compilation errors) did not do what was asked.
    if (st != OCI_SUCCESS && st != OCI_NO_DATA) {
      ComputeErrorPosition(s);
      parsedText.clear();
      s.RaiseError(err, st);
    }
    ub2 code = 0;
    statementType = IsOk(oci.OCIAttrGet(stmt, OCI_HTYPE_STMT, &code, nullptr, OCI_ATTR_SQLFNCODE, err2))
                        ? code
                        : -1;
    eof = true;
  }

  void Next() {
    if (eof) return;
    TOracleSession& s = CheckSession();
    ++currentRow;
    if (currentRow < rowsInBatch) return;
    if (rowsInBatch < rowsPerFetch) {
      eof = true;
      return;
    }
    const int before = RowCount();
    eof = true;  // stays so if the fetch fails
    Fetch(s, rowsPerFetch);
    currentRow = 0;
    rowsInBatch = RowCount() - before;
    eof = rowsInBatch <= 0;
  }

  std::string DebugText() const {
    std::string text;
    for (const auto& line : sql) text += line + "\r\n";
    for (int i = 0; i < variables.Count(); ++i)
      text += "\r" + variables[i].Name + " = " + variables[i].ValueText();
    return text;
  }

  const TFieldData& Column(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= columns.size())
      throw std::runtime_error("Field " + std::to_string(index) + " does not exist");
    return *columns[static_cast<size_t>(index)];
  }

  // The current row's column, checked for Eof.
  const TFieldData& RowColumn(int index) const {
    const TFieldData& f = Column(index);
    if (eof || currentRow >= rowsInBatch) throw std::runtime_error(kBeyondEof);
    return f;
  }

  bool IsNull(const TFieldData& f) const {
    if (f.Choice.Type == TExternalType::None) return false;
    return f.Indicators[f.Piecewise() ? 0 : static_cast<size_t>(currentRow)] == -1;
  }

  const unsigned char* Element(const TFieldData& f) const {
    return f.Buffer.data() + static_cast<size_t>(currentRow) * static_cast<size_t>(f.Choice.ElementSize);
  }

  std::string RawText(const TFieldData& f) const {
    const char* p = reinterpret_cast<const char*>(Element(f));
    return std::string(p, strnlen(p, static_cast<size_t>(f.Choice.ElementSize)));
  }

  std::string Text(const TFieldData& f) const {
    if (f.Choice.Type == TExternalType::None)
      throw std::runtime_error("Cannot convert field " + f.Name + " to a String");
    if (IsNull(f)) return {};
    switch (f.Choice.Type) {
      case TExternalType::Integer: {
        int32_t v;
        std::memcpy(&v, Element(f), sizeof v);
        return FormatInteger(v);
      }
      case TExternalType::Float: {
        double v;
        std::memcpy(&v, Element(f), sizeof v);
        return FormatFloat(v);
      }
      case TExternalType::Date: return FormatDateTime(DecodeOracleDate(Element(f)));
      case TExternalType::LongRaw: return f.LongValue();
      case TExternalType::Long: {
        std::string v = f.Piecewise() ? f.LongValue() : RawText(f);
        return Prefs().ConvertCRLF ? NormaliseLineEnds(v) : v;
      }
      default: {
        std::string v = RawText(f);
        return Prefs().ConvertCRLF ? NormaliseLineEnds(v) : v;
      }
    }
  }
};

TOracleQuery::TOracleQuery() : impl_(std::make_unique<Impl>(*this)) {}

TOracleQuery::~TOracleQuery() {
  impl_->CloseCursor();
  if (impl_->registered) impl_->registered->RemoveDependant(this);
}

const std::vector<std::string>& TOracleQuery::SQL() const { return impl_->sql; }

void TOracleQuery::SetSQL(std::vector<std::string> lines) {
  impl_->sql = std::move(lines);
  impl_->parsedText.clear();
}

void TOracleQuery::SetSQLText(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  SetSQL(std::move(lines));
}

TVariables& TOracleQuery::Variables() { return impl_->variables; }

void TOracleQuery::AddVariable(const std::string& name, int typeCode) {
  impl_->variables.AddVariable(name, typeCode);
  impl_->parsedText.clear();
}

void TOracleQuery::AssignVariable(const std::string& name, const TVariant& value) {
  const TSessionPreferences& p = impl_->Prefs();
  impl_->variables.AssignVariable(name, value, p.ConvertCRLF, p.ZeroDateIsNull);
}

void TOracleQuery::Execute() { impl_->Execute(); }

void TOracleQuery::Describe() { impl_->Prepare(impl_->CheckSession(), true); }

void TOracleQuery::Next() { impl_->Next(); }

bool TOracleQuery::Eof() const { return impl_->eof; }

int TOracleQuery::FieldIndex(const std::string& name) const {
  for (size_t i = 0; i < impl_->columns.size(); ++i)
    if (SameText(impl_->columns[i]->Name, name)) return static_cast<int>(i);
  return -1;
}

std::string TOracleQuery::FieldText(const std::string& name) const {
  int i = FieldIndex(name);
  if (i < 0) throw std::runtime_error("Field " + name + " does not exist");
  return FieldText(i);
}

std::string TOracleQuery::FieldText(int index) const { return impl_->Text(impl_->RowColumn(index)); }

int TOracleQuery::FieldCount() const { return static_cast<int>(impl_->columns.size()); }

const std::string& TOracleQuery::FieldName(int index) const { return impl_->Column(index).Name; }

TExternalType TOracleQuery::FieldType(int index) const { return impl_->Column(index).Choice.Type; }

int TOracleQuery::FieldSize(int index) const { return impl_->Column(index).DataSize; }

int TOracleQuery::FieldPrecision(int index) const { return impl_->Column(index).Precision; }

bool TOracleQuery::FieldIsNull(int index) const { return impl_->IsNull(impl_->RowColumn(index)); }

bool TOracleQuery::FieldTruncated(int index) const {
  const TFieldData& f = impl_->RowColumn(index);
  return !f.Piecewise() && !impl_->IsNull(f) && f.ReturnCodes[static_cast<size_t>(impl_->currentRow)] == 1406;
}

int32_t TOracleQuery::FieldInteger(int index) const {
  const TFieldData& f = impl_->RowColumn(index);
  if (impl_->IsNull(f)) return 0;
  if (f.Choice.Type == TExternalType::Float) return static_cast<int32_t>(FieldFloat(index));
  if (f.Choice.Type != TExternalType::Integer) return static_cast<int32_t>(std::atoi(impl_->Text(f).c_str()));
  int32_t v;
  std::memcpy(&v, impl_->Element(f), sizeof v);
  return v;
}

double TOracleQuery::FieldFloat(int index) const {
  const TFieldData& f = impl_->RowColumn(index);
  if (impl_->IsNull(f)) return 0;
  if (f.Choice.Type == TExternalType::Integer) return FieldInteger(index);
  if (f.Choice.Type != TExternalType::Float) return std::atof(impl_->Text(f).c_str());
  double v;
  std::memcpy(&v, impl_->Element(f), sizeof v);
  return v;
}

TDateTime TOracleQuery::FieldDate(int index) const {
  const TFieldData& f = impl_->RowColumn(index);
  if (impl_->IsNull(f) || f.Choice.Type != TExternalType::Date) return TDateTime{};
  return ToDateTime(DecodeOracleDate(impl_->Element(f)));
}

std::string TOracleQuery::FieldBytes(int index) const {
  const TFieldData& f = impl_->RowColumn(index);
  if (impl_->IsNull(f)) return {};
  if (f.Piecewise()) return f.LongValue();
  if (f.Choice.Type == TExternalType::Text || f.Choice.Type == TExternalType::Long) return impl_->RawText(f);
  return impl_->Text(f);
}

int TOracleQuery::ProcessedRows() const { return impl_->RowCount(); }

int TOracleQuery::ParseErrorLine() const { return impl_->errorLine; }

int TOracleQuery::ParseErrorColumn() const { return impl_->errorColumn; }

int TOracleQuery::StatementType() const { return impl_->statementType; }

void TOracleQuery::Close() { impl_->CloseCursor(); }

void TOracleQuery::CloseOnLogOff() noexcept { impl_->CloseCursor(); }

std::function<void(const std::string&)>& TOracleQuery::DebugHook() {
  static std::function<void(const std::string&)> hook;
  return hook;
}

}  // namespace skelvane::oracle
