#include "export/file_name.h"

#include <gtest/gtest.h>

namespace pathmend {
namespace {

TEST(ReplaceExtension, CutsAtTheLastDotOfTheFileNameOnly) {
  const struct {
    const char* name;
    const char* extension;
    const char* result;
  } cases[] = {
      {"out.trk", ".kml", "out.kml"},
      {"out.trk", ".txt", "out.txt"},
      {"ge.kml", ".kml", "ge.kml"},
      {"out.", ".kml", "out.kml"},
      {"out", ".kml", "out.kml"},
      {"out.dat", ".txt", "out.txt"},
      {"day.2006.trk", ".kml", "day.2006.kml"},
      // Windows separators end the search.
      {"C:\\maps.old\\track", ".kml", "C:\\maps.old\\track.kml"},
      {"C:\\maps.old\\track.trk", ".kml", "C:\\maps.old\\track.kml"},
      {"C:track", ".kml", "C:track.kml"},
      {"C:.trk", ".kml", "C:.kml"},
      // "/" ends it too: a dot in a folder's name is not an extension.
      {"maps.old/track", ".kml", "maps.old/track.kml"},
      {"maps.old/track", ".txt", "maps.old/track.txt"},
      {"/tmp/a.b/c.d/track", ".kml", "/tmp/a.b/c.d/track.kml"},
      {"./out", ".kml", "./out.kml"},
      {"../out", ".txt", "../out.txt"},
      {"folder/", ".kml", "folder/.kml"},
      // A leading dot is the last dot like any other.
      {".trk", ".kml", ".kml"},
      {"maps/.hidden", ".kml", "maps/.kml"},
      {"", ".kml", ".kml"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceExtension(c.name, c.extension), c.result)
        << "name \"" << c.name << "\", extension " << c.extension;
  }
}

}  // namespace
}  // namespace pathmend
