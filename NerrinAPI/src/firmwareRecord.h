// The text layout of one record of a firmware image: a record mark, two
// unused hex digits, a 24-bit flash address in six hex digits and 64 data
// bytes in two hex digits each. Whitespace separates tokens; a token that
// begins with '#' is a comment. The image generator writes this layout and
// the library reads it, so both take it from here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace firmware_record {

inline constexpr size_t kDataBytes = 64;
inline constexpr size_t kAddressOffset = 3;
inline constexpr size_t kAddressDigits = 6;
inline constexpr size_t kDataOffset = kAddressOffset + kAddressDigits;
inline constexpr size_t kLength = kDataOffset + 2 * kDataBytes;  // 137
inline constexpr size_t kTokenLimit = 2000;  // a token must be shorter
inline constexpr char kCommentMark = '#';
inline constexpr char kRecordMark = ':';
inline constexpr uint32_t kAddressMask = 0xFFFFFF;

}  // namespace firmware_record
