#include "reference_reader.h"

namespace skelvane::fuzz {
namespace {

enum class State { None, Name, Value };

struct Reader {
  RefDocument doc;
  State state = State::None;
  std::vector<RefNode*> stack;
  long line = 0;

  // Returns false after an unmatched "}".
  bool Step(const std::string& text) {
    RefNode* current = state != State::None && !stack.empty() ? stack.back() : nullptr;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (i == 0 && state == State::Value && c != '{' && c != '}' && current && !current->value.empty()) {
        current->value += "\r\n";
      }
      if (c == ' ') {
        if (state == State::Name) {
          state = State::Value;
        } else if (state == State::Value && current) {
          current->value += ' ';
        }
      } else if (c == '{') {
        auto node = std::make_unique<RefNode>();
        RefNode* raw = node.get();
        if (!stack.empty()) {
          stack.back()->children.push_back(std::move(node));
        } else {
          doc.roots.push_back(std::move(node));
        }
        stack.push_back(raw);
        current = raw;
        state = State::Name;
      } else if (c == '}') {
        if (stack.empty()) {
          doc.unmatchedClose = true;
          doc.errorLine = line;
          return false;
        }
        state = State::None;
        stack.pop_back();
      } else if (state == State::Name && current) {
        current->name += c;
      } else if (state == State::Value && current) {
        current->value += c;
      }
    }
    if (state == State::Name && !stack.empty() && !stack.back()->name.empty()) state = State::Value;
    return true;
  }

  bool Line(std::string text) {
    ++line;
    for (char& c : text) {
      if (c == '\t') c = ' ';
    }
    if (text.size() >= 2 && text[0] == '/' && text[1] == '/') return true;
    if (text.empty()) return true;
    return Step(text);
  }
};

}  // namespace

RefDocument RefRead(std::string_view bytes) {
  Reader reader;
  std::string line;
  bool pending = false;  // bytes seen since the last line end
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == 26) break;
    if (c == '\r') {
      pending = true;
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        ++i;
        if (!reader.Line(line)) return std::move(reader.doc);
        line.clear();
        pending = false;
      }
      continue;
    }
    if (c == '\n') {
      if (!reader.Line(line)) return std::move(reader.doc);
      line.clear();
      pending = false;
      continue;
    }
    line += c;
    pending = true;
  }
  if (pending) reader.Line(line);
  return std::move(reader.doc);
}

namespace {

const RefNode* Find(const std::vector<std::unique_ptr<RefNode>>& list, const std::vector<std::string>& path,
                    std::size_t level, int index) {
  if (level + 1 == path.size()) {
    int seen = 0;
    for (const auto& node : list) {
      if (node->name == path[level] && seen++ == index) return node.get();
    }
    return nullptr;
  }
  for (const auto& node : list) {
    if (node->name != path[level]) continue;
    if (const RefNode* found = Find(node->children, path, level + 1, index)) return found;
  }
  return nullptr;
}

}  // namespace

bool RefSelect(const std::vector<std::unique_ptr<RefNode>>& roots, int index,
               const std::vector<std::string>& path, std::vector<RefEntry>& result) {
  result.clear();
  if (index < 0 || path.empty()) return false;
  const RefNode* found = Find(roots, path, 0, index);
  if (found == nullptr) return false;
  for (const auto& child : found->children) {
    result.push_back(RefEntry{child->name + "=" + child->value, child->children.empty() ? nullptr : child.get()});
  }
  return true;
}

}  // namespace skelvane::fuzz
