#include "sdb/sdb_reader.h"

#include <array>
#include <cstring>
#include <utility>

#include "sdb/sdb_error.h"

namespace skelvane {
namespace {

constexpr char kEndOfFile = 26;

// Bytes that interrupt a run of name or value text.
enum : unsigned char { kText = 0, kBlank, kOpen, kClose, kCarriageReturn };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> classes{};
  classes[' '] = kBlank;
  classes['\t'] = kBlank;  // a TAB reads as one blank everywhere
  classes['{'] = kOpen;
  classes['}'] = kClose;
  classes['\r'] = kCarriageReturn;  // dropped; the one before LF belongs to the line end
  return classes;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

inline unsigned char ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

const char* SkipCarriageReturns(const char* p, const char* end) {
  while (p < end && *p == '\r') ++p;
  return p;
}

}  // namespace

TSdbReader::TSdbReader(TNodeStore& store, const TTreeElem*& firstRoot, std::string documentName)
    : store_(store), firstRoot_(firstRoot), documentName_(std::move(documentName)) {
  firstRoot_ = nullptr;
}

void TSdbReader::Read(std::string_view text) {
  if (const void* eof = std::memchr(text.data(), kEndOfFile, text.size())) {
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(eof) - text.data()));
  }
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    ++lineNumber_;
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    const char* lineEnd = lf != nullptr ? lf : end;
    Line(p, lineEnd);
    p = lf != nullptr ? lf + 1 : end;
  }
}

void TSdbReader::Line(const char* p, const char* const end) {
  // Positions count after dropping CRs, so a line of CRs only is empty and
  // "\r//" is a comment.
  p = SkipCarriageReturns(p, end);
  if (p == end) return;
  if (*p == '/') {
    const char* second = SkipCarriageReturns(p + 1, end);
    if (second < end && *second == '/') return;
  }
  // A value that goes on over the line end keeps the break as CR LF, then the
  // new line's indentation.
  if (state_ == State::Value && !open_.empty() && *p != '{' && *p != '}') {
    std::string& value = open_.back().node->Value;
    if (!value.empty()) value += "\r\n";
  }

  // The node that text goes to is the innermost open node. For a line that
  // follows a bare "{" (the name still empty, state Name), that makes the next
  // line's first word the name: accepting it is harmless and loses nothing,
  // and the writer never produces it.
  while (p < end) {
    switch (state_) {
      case State::None: {
        while (p < end && *p != '{' && *p != '}') ++p;
        if (p == end) break;
        if (*p++ == '{') {
          OpenBrace();
        } else {
          CloseBrace();
        }
        break;
      }
      case State::Name: {
        const char* run = p;
        while (p < end && ClassOf(*p) == kText) ++p;
        if (p != run) open_.back().node->Name.append(run, static_cast<std::size_t>(p - run));
        if (p == end) break;
        switch (ClassOf(*p++)) {
          case kBlank: state_ = State::Value; break;  // the blank itself is consumed
          case kOpen: OpenBrace(); break;
          case kClose: CloseBrace(); break;
          default: break;  // CR
        }
        break;
      }
      case State::Value: {
        std::string& value = open_.back().node->Value;
        const char* run = p;
        while (p < end && (ClassOf(*p) == kText || *p == ' ')) ++p;
        if (p != run) value.append(run, static_cast<std::size_t>(p - run));
        if (p == end) break;
        switch (ClassOf(*p++)) {
          case kBlank: value += ' '; break;  // TAB
          case kOpen: OpenBrace(); break;
          case kClose: CloseBrace(); break;
          default: break;  // CR
        }
        break;
      }
    }
  }
  // The end of the line ends a name; the value may start on the next line.
  if (state_ == State::Name && !open_.back().node->Name.empty()) state_ = State::Value;
}

void TSdbReader::OpenBrace() {
  TTreeElem* node = store_.New();
  if (!open_.empty()) {
    OpenNode& parent = open_.back();
    if (parent.lastChild != nullptr) {
      parent.lastChild->NextSibling = node;
    } else {
      parent.node->FirstChild = node;
    }
    parent.lastChild = node;
  } else {
    if (lastRoot_ != nullptr) {
      lastRoot_->NextSibling = node;
    } else {
      firstRoot_ = node;
    }
    lastRoot_ = node;
  }
  open_.push_back(OpenNode{node, nullptr});
  state_ = State::Name;
}

void TSdbReader::CloseBrace() {
  if (open_.empty()) {
    std::string where = documentName_.empty() ? "Schema document" : "Schema document " + documentName_;
    throw ESdbSyntaxError(where + ", line " + std::to_string(lineNumber_) +
                              ": \"}\" without a matching \"{\"",
                          lineNumber_);
  }
  state_ = State::None;
  open_.pop_back();
}

}  // namespace skelvane
