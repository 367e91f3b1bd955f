#include "engine/select_like.h"

#include <vector>

namespace oraemu::sel {

namespace {

struct Piece {
  enum Kind { Byte, One, Run } kind;
  char ch;
};

std::vector<Piece> Pieces(std::string_view pattern, int escape) {
  std::vector<Piece> out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (escape >= 0 && static_cast<unsigned char>(c) == escape && i + 1 < pattern.size()) {
      out.push_back({Piece::Byte, pattern[++i]});
    } else if (c == '%') {
      if (out.empty() || out.back().kind != Piece::Run) out.push_back({Piece::Run, 0});
    } else if (c == '_') {
      out.push_back({Piece::One, 0});
    } else {
      out.push_back({Piece::Byte, c});
    }
  }
  return out;
}

}  // namespace

// Greedy matching that backtracks only to the last '%': linear in practice,
// never exponential.
bool LikeMatch(std::string_view text, std::string_view pattern, int escape) {
  std::vector<Piece> p = Pieces(pattern, escape);
  size_t t = 0, k = 0;
  size_t starPiece = std::string_view::npos, starText = 0;
  while (t < text.size()) {
    if (k < p.size() && p[k].kind == Piece::Run) {
      starPiece = k++;
      starText = t;
      continue;
    }
    if (k < p.size() && (p[k].kind == Piece::One || p[k].ch == text[t])) {
      ++k;
      ++t;
      continue;
    }
    if (starPiece == std::string_view::npos) return false;
    k = starPiece + 1;
    t = ++starText;
  }
  while (k < p.size() && p[k].kind == Piece::Run) ++k;
  return k == p.size();
}

}  // namespace oraemu::sel
