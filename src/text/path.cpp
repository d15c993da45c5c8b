#include "text/path.h"

namespace norvalt {

std::u16string_view fileNamePart(std::u16string_view path)
{
    // The shell reads the path as a zero-terminated string.
    path = path.substr(0, path.find(char16_t(0)));
    size_t start = 0;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        const char16_t c = path[i];
        if (c != u'\\' && c != u':' && c != u'/') continue;
        // A name follows only when the next unit is not another separator.
        if (path[i + 1] != u'\\' && path[i + 1] != u'/') start = i + 1;
    }
    return path.substr(start);
}

} // namespace norvalt
