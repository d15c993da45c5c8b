#pragma once
#include <string_view>

namespace norvalt {

// The name part of a path as the Windows shell's PathFindFileNameW finds it:
// the text after the last '\\', '/' or ':' that is followed by something
// other than another separator. A trailing separator therefore stays with
// the last name ("C:\\dir\\" gives "dir\\"); a path without separators is its
// own name part.
std::u16string_view fileNamePart(std::u16string_view path);

} // namespace norvalt
