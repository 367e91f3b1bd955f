#include "sdb/sdb_reader.h"

#include <array>
#include <cstring>
#include <utility>

#include "sdb/sdb_error.h"

namespace skelvane {
namespace {

constexpr char kEndOfFile = 26;

// Every byte that can end a run of name or value text gets a class; the run
// loops test one table entry per byte and need no bounds check, because the
// text is followed by a NUL (kStop) and "end of text" is checked only there.
enum : unsigned char { kText = 0, kBlank, kTab, kCarriageReturn, kOpen, kClose, kLineFeed, kStop };

constexpr std::array<unsigned char, 256> MakeClasses() {
  std::array<unsigned char, 256> classes{};
  classes[' '] = kBlank;
  classes['\t'] = kTab;  // reads as one blank everywhere
  classes['\r'] = kCarriageReturn;  // dropped; the one before LF belongs to the line end
  classes['{'] = kOpen;
  classes['}'] = kClose;
  classes['\n'] = kLineFeed;
  classes[0] = kStop;  // the end of the text, or a NUL inside it
  classes[static_cast<unsigned char>(kEndOfFile)] = kStop;
  return classes;
}
constexpr std::array<unsigned char, 256> kClasses = MakeClasses();

inline unsigned char ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

}  // namespace

TSdbReader::TSdbReader(TNodeStore& store, const TTreeElem*& firstRoot, std::string documentName)
    : store_(store), firstRoot_(firstRoot), documentName_(std::move(documentName)) {
  firstRoot_ = nullptr;
}

void TSdbReader::Read(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  // A NUL inside the text is ordinary text; the one at its end, and a byte 26
  // anywhere, end the reading.
  const auto atEnd = [&](const char* q) { return q == end || *q == kEndOfFile; };

  while (p < end && *p != kEndOfFile) {
    ++lineNumber_;
    // Positions count after dropping CRs, so a line of CRs only is empty and
    // "\r//" is a comment.
    while (*p == '\r') ++p;
    if (*p == '\n') {
      ++p;
      continue;
    }
    if (atEnd(p)) break;
    if (*p == '/') {
      const char* second = p + 1;
      while (*second == '\r') ++second;
      if (*second == '/') {
        const void* lf = std::memchr(second, '\n', static_cast<std::size_t>(end - second));
        const void* eof = std::memchr(second, kEndOfFile, static_cast<std::size_t>(end - second));
        if (lf == nullptr || (eof != nullptr && eof < lf)) break;
        p = static_cast<const char*>(lf) + 1;
        continue;
      }
    }
    // A value that goes on over the line end keeps the break as CR LF, then the
    // new line's indentation.
    if (state_ == State::Value && *p != '{' && *p != '}') {
      TTreeElem& node = *open_.back().node;
      if (!node.Value.empty()) AppendOther(node.Value, "\r\n", 2);
    }

    // Text goes to the innermost open node. For a line that follows a bare "{"
    // (the name still empty, state Name), that makes the next line's first word
    // the name: accepting it is harmless and loses nothing, and the writer never
    // produces such a line.
    bool lineEnded = false;
    while (!lineEnded) {
      unsigned char c = kStop;
      switch (state_) {
        case State::None:
          while ((c = ClassOf(*p)) < kOpen) ++p;
          break;
        case State::Name: {
          const char* run = p;
          while ((c = ClassOf(*p)) == kText) ++p;
          if (p != run) AppendRun(open_.back().node->Name, run, static_cast<std::size_t>(p - run));
          break;
        }
        case State::Value: {
          const char* run = p;
          while ((c = ClassOf(*p)) <= kBlank) ++p;
          if (p != run) AppendRun(open_.back().node->Value, run, static_cast<std::size_t>(p - run));
          break;
        }
      }
      switch (c) {
        case kBlank:  // only in state Name
        case kTab:
          ++p;
          if (state_ == State::Name) {
            StartValue();  // the blank itself is consumed
          } else if (state_ == State::Value) {
            AppendOther(open_.back().node->Value, " ", 1);
          }
          break;
        case kCarriageReturn:
          ++p;
          break;
        case kOpen:
          ++p;
          OpenBrace();
          break;
        case kClose:
          ++p;
          CloseBrace();
          break;
        case kLineFeed:
          ++p;
          lineEnded = true;
          break;
        default:  // kStop
          if (atEnd(p)) {
            lineEnded = true;
          } else {
            // A NUL inside the text: ordinary text of a name or value.
            if (state_ == State::Name) {
              AppendRun(open_.back().node->Name, p, 1);
            } else if (state_ == State::Value) {
              AppendRun(open_.back().node->Value, p, 1);
            }
            ++p;
          }
          break;
      }
    }
    // The end of the line ends a name; the value may start on the next line.
    if (state_ == State::Name && !open_.back().node->Name.empty()) StartValue();
  }
}

void TSdbReader::AppendRun(std::string_view& target, const char* run, std::size_t count) {
  if (!copied_) {
    if (target.empty()) {
      target = std::string_view(run, count);
      return;
    }
    if (target.data() + target.size() == run) {
      target = std::string_view(target.data(), target.size() + count);
      return;
    }
    target = store_.Texts().Append({}, target.data(), target.size());
    copied_ = true;
  }
  target = store_.Texts().Append(target, run, count);
}

void TSdbReader::AppendOther(std::string_view& target, const char* bytes, std::size_t count) {
  if (!copied_) {
    target = store_.Texts().Append({}, target.data(), target.size());
    copied_ = true;
  }
  target = store_.Texts().Append(target, bytes, count);
}

void TSdbReader::StartValue() {
  state_ = State::Value;
  copied_ = false;
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
  copied_ = false;
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
