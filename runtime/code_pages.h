// The character sets of the recorder's text, decoded into UTF-8.
//
// The track type names are code page 852 bytes (DOS Central European); track
// names and other text come as the recorder wrote them: UTF-8 when they are
// well-formed UTF-8, else Windows-1250 (Central European). The KML title and
// the console on a UTF-8 terminal decode them by the same rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pathmend {

inline constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of a code point below U+10000.
void AppendUtf8(std::string& out, std::uint32_t code);

// The length of a well-formed UTF-8 sequence of two or more bytes at the
// start of `bytes`, or 0 when there is none. Overlong forms, surrogates,
// values beyond U+10FFFF and the non-characters U+FFFE and U+FFFF are not
// taken as UTF-8 (XML cannot carry the last two).
std::size_t Utf8SequenceLength(std::string_view bytes);

// The code point of a byte of 128 or more; 0 where Windows-1250 leaves the
// position unassigned (code page 852 assigns all 128).
std::uint16_t Windows1250Character(std::uint8_t byte);
std::uint16_t CodePage852Character(std::uint8_t byte);

// The recorder's text in UTF-8: bytes below 128 unchanged, well-formed UTF-8
// kept, every other byte read as Windows-1250 (U+FFFD where it has no letter).
std::string RecordedTextToUtf8(std::string_view bytes);

// Code page 852 text in UTF-8: bytes below 128 unchanged.
std::string CodePage852ToUtf8(std::string_view bytes);

}  // namespace pathmend
