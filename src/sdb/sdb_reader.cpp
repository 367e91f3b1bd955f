#include "sdb/sdb_reader.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include "sdb/sdb_error.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Counts the "{" bytes many at a time; a plain loop costs as much as a
// quarter of the whole reading.
std::size_t CountOpenBraces(const char* p, std::size_t size) {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i brace = _mm_set1_epi8('{');
  while (i + 16 <= size) {
    // Per-byte tallies, summed before any of them can overflow.
    __m128i tallies = _mm_setzero_si128();
    for (int k = 0; k < 255 && i + 16 <= size; ++k, i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      tallies = _mm_sub_epi8(tallies, _mm_cmpeq_epi8(bytes, brace));  // a match is -1
    }
    const __m128i sums = _mm_sad_epu8(tallies, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si64(sums)) +
             static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
  }
#else
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  constexpr std::uint64_t kPattern = kOnes * static_cast<unsigned char>('{');
  while (i + 8 <= size) {
    std::uint64_t tallies = 0;
    for (int k = 0; k < 255 && i + 8 <= size; ++k, i += 8) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      const std::uint64_t x = word ^ kPattern;                  // 0 where the byte is "{"
      const std::uint64_t nonZero = ((x & kLow7) + kLow7) | x;  // high bit set where not 0
      tallies += (~nonZero >> 7) & kOnes;
    }
    // Sum in 16-bit lanes: the total of the eight tallies may exceed one byte.
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFULL;
    const std::uint64_t pairs = (tallies & kEvenBytes) + ((tallies >> 8) & kEvenBytes);
    count += static_cast<std::size_t>((pairs * 0x0001000100010001ULL) >> 48);
  }
#endif
  for (; i < size; ++i) count += p[i] == '{';
  return count;
}

}  // namespace

// The reading loop runs once per byte class change; keeping its helpers out of
// line costs a third of the reading time.
#if defined(__GNUC__) || defined(__clang__)
#define SKELVANE_SDB_INLINE [[gnu::always_inline]] inline
#else
#define SKELVANE_SDB_INLINE inline
#endif

TSdbReader::TSdbReader(TNodeStore& store, std::string documentName)
    : store_(store), documentName_(std::move(documentName)) {}

SKELVANE_SDB_INLINE void TSdbReader::AppendRun(const char* run, std::size_t count) {
  if (!copied_) {
    if (text_.empty()) {
      text_ = std::string_view(run, count);
      return;
    }
    if (text_.data() + text_.size() == run) {
      text_ = std::string_view(text_.data(), text_.size() + count);
      return;
    }
    text_ = store_.Texts().Append({}, text_.data(), text_.size());
    copied_ = true;
  }
  text_ = store_.Texts().Append(text_, run, count);
}

SKELVANE_SDB_INLINE void TSdbReader::AppendOther(const char* bytes, std::size_t count) {
  if (!copied_) {
    text_ = store_.Texts().Append({}, text_.data(), text_.size());
    copied_ = true;
  }
  text_ = store_.Texts().Append(text_, bytes, count);
}

SKELVANE_SDB_INLINE void TSdbReader::AppendBlanks(std::size_t count) {
  if (!copied_) {
    text_ = store_.Texts().Append({}, text_.data(), text_.size());
    copied_ = true;
  }
  text_ = store_.Texts().AppendFill(text_, ' ', count);
}

SKELVANE_SDB_INLINE void TSdbReader::Flush() {
  if (text_.size() > UINT32_MAX) Fail("a name or value longer than 4 GB");
  TTreeElem& node = *open_.back().node;
  if (state_ == State::Name) {
    node.name_ = text_.data();
    node.nameSize_ = static_cast<std::uint32_t>(text_.size());
  } else {
    node.value_ = text_.data();
    node.valueSize_ = static_cast<std::uint32_t>(text_.size());
  }
}

SKELVANE_SDB_INLINE void TSdbReader::StartValue() {
  Flush();
  state_ = State::Value;
  text_ = {};
  copied_ = false;
}

SKELVANE_SDB_INLINE void TSdbReader::OpenBrace() {
  if (state_ != State::None) Flush();
  if (used_ == capacity_) Fail("more nodes than counted");  // cannot happen: every node is a counted "{"
  TTreeElem* node = std::construct_at(nodes_ + used_++);  // all fields zero
  if (!open_.empty()) {
    OpenNode& parent = open_.back();
    if (parent.lastChild != nullptr) {
      parent.lastChild->nextOffset_ = static_cast<std::uint32_t>(node - parent.lastChild);
    } else {
      parent.node->hasChildren_ = 1;  // the node right after it, as nodes are made in text order
    }
    parent.lastChild = node;
  } else {
    if (lastRoot_ != nullptr) lastRoot_->nextOffset_ = static_cast<std::uint32_t>(node - lastRoot_);
    lastRoot_ = node;
  }
  open_.push_back(OpenNode{node, nullptr});
  state_ = State::Name;
  text_ = {};
  copied_ = false;
}

SKELVANE_SDB_INLINE void TSdbReader::CloseBrace() {
  if (open_.empty()) {
    Fail("line " + std::to_string(lineNumber_) + ": \"}\" without a matching \"{\"");
  }
  if (state_ != State::None) Flush();
  state_ = State::None;
  open_.pop_back();
}

void TSdbReader::Read(std::string_view text, const TTreeElem*& firstRoot) {
  firstRoot = nullptr;
  const char* p = text.data();
  const char* const end = p + text.size();
  const char* eof = static_cast<const char*>(std::memchr(p, kEndOfFile, text.size()));
  // Every "{" is at most one node, so one array holds them all.
  capacity_ = CountOpenBraces(p, static_cast<std::size_t>((eof != nullptr ? eof : end) - p));
  if (capacity_ >= UINT32_MAX) Fail("more nodes than can be held");
  nodes_ = store_.NewNodes(capacity_);
  // The first node read is the first top-level node; publish it however the
  // reading ends.
  struct RootPublisher {
    TSdbReader& reader;
    const TTreeElem*& firstRoot;
    ~RootPublisher() {
      if (reader.used_ > 0) firstRoot = reader.nodes_;
    }
  } publish{*this, firstRoot};

  // A NUL inside the text is ordinary text; the one at its end, and a byte 26
  // anywhere, end the reading.
  const auto atEnd = [&](const char* q) { return q == end || *q == kEndOfFile; };

  while (!atEnd(p)) {
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
        if (lf == nullptr || (eof != nullptr && eof < lf)) break;
        p = static_cast<const char*>(lf) + 1;
        continue;
      }
    }
    // A value that goes on over the line end keeps the break as CR LF, then the
    // new line's indentation.
    if (state_ == State::Value && *p != '{' && *p != '}' && !text_.empty()) AppendOther("\r\n", 2);

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
          if (p != run) AppendRun(run, static_cast<std::size_t>(p - run));
          break;
        }
        case State::Value: {
          const char* run = p;
          while ((c = ClassOf(*p)) <= kBlank) ++p;
          if (p != run) AppendRun(run, static_cast<std::size_t>(p - run));
          break;
        }
      }
      switch (c) {
        case kBlank:  // only in state Name
        case kTab:
          if (state_ == State::Name) {
            ++p;
            StartValue();  // the blank itself is consumed
          } else if (state_ == State::Value) {
            // Indentation: the TABs and blanks of one run become blanks in one go.
            const char* run = p;
            while (ClassOf(*p) == kTab || *p == ' ') ++p;
            AppendBlanks(static_cast<std::size_t>(p - run));
          } else {
            ++p;
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
            if (state_ != State::None) AppendRun(p, 1);  // a NUL inside the text
            ++p;
          }
          break;
      }
    }
    // The end of the line ends a name; the value may start on the next line.
    if (state_ == State::Name && !text_.empty()) StartValue();
  }
  if (state_ != State::None) Flush();  // nodes left open keep what was read
}

void TSdbReader::Fail(const std::string& what) const {
  const std::string where = documentName_.empty() ? "Schema document" : "Schema document " + documentName_;
  throw ESdbSyntaxError(where + ", " + what, lineNumber_);
}

}  // namespace skelvane
