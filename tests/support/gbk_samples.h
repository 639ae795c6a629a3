// GBK characters whose trail byte is a backslash (0x5C): byte-wise path code
// takes them for a separator. Every test that needs one takes it from here.
#pragma once

#include <string>

inline const std::string kJou = "\x81\x5C";    // 乗 U+4E57
inline const std::string kCheng = "\xD5\x5C";  // 誠 U+8AA0
