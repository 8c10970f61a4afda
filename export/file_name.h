// The name of an exported file: the output argument with its extension
// replaced.
#pragma once

#include <string>
#include <string_view>

namespace pathmend {

// Finds the last ".", "\", ":" or "/" in the name; when it is ".", the name
// is cut before it, and the extension is appended in every case. So out.trk
// gives out.kml, out. gives out.kml, maps.old/track gives maps.old/track.kml
// and C:\maps.old\track gives C:\maps.old\track.kml.
std::string ReplaceExtension(std::string_view name, std::string_view extension);

}  // namespace pathmend
