// Oracle's LIKE: case-sensitive, byte-wise, '%' any run and '_' one byte,
// with an optional escape byte.
#ifndef ORAEMU_SELECT_LIKE_H
#define ORAEMU_SELECT_LIKE_H

#include <string_view>

namespace oraemu::sel {

// `escape` < 0 when there is none.
bool LikeMatch(std::string_view text, std::string_view pattern, int escape);

}  // namespace oraemu::sel

#endif
