#include "export/file_name.h"

namespace pathmend {

std::string ReplaceExtension(std::string_view name, std::string_view extension) {
  // "/" ends the search as well as "\" and ":": on Linux it is the folder
  // separator, and a dot in a folder's name is no extension.
  const std::size_t last = name.find_last_of(".\\:/");
  if (last != std::string_view::npos && name[last] == '.') name = name.substr(0, last);
  std::string result(name);
  result += extension;
  return result;
}

}  // namespace pathmend
