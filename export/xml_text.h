// Text made safe for an XML document that declares UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace pathmend {

// Escapes "&", "<" and ">"; keeps every well-formed UTF-8 sequence as it is;
// reads every other byte of 128 or more as a Windows-1250 (Central European)
// character and writes it in UTF-8. Bytes that XML 1.0 cannot carry (control
// characters other than TAB, LF and CR, and the five unassigned Windows-1250
// positions) become U+FFFD, the replacement character.
std::string XmlText(std::string_view bytes);

}  // namespace pathmend
