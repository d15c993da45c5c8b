#include <gtest/gtest.h>

#include "text/path.h"

#ifdef _WIN32
#include <windows.h>
#include <shlwapi.h>

#include "text/wide.h"
#endif

using namespace norvalt;

namespace {

struct PathCase {
    std::u16string_view path;
    std::u16string_view name;
};

// What the shell's PathFindFileNameW answers; the Windows build checks the
// table against the real function.
constexpr PathCase cases[] = {
    {u"C:\\lab\\2024\\a1.stg", u"a1.stg"},
    {u"C:/lab/b.stg", u"b.stg"},
    {u"a.stg", u"a.stg"},
    {u"", u""},
    {u"C:a.stg", u"a.stg"},
    {u"C:\\", u"C:\\"},
    {u"C:\\dir\\", u"dir\\"},
    {u"\\\\server\\share\\f.stg", u"f.stg"},
    {u"\\\\server", u"server"},
    {u"dir\\\\name", u"name"},
    {u"dir\\/", u"dir\\/"},
    {u"\\", u"\\"},
    {u"a:b:c", u"c"},
    {u"Хроматограммы\\Проба №5.stg", u"Проба №5.stg"},
};

} // namespace

TEST(Path, FileNamePartOfTypicalPaths)
{
    for (const auto& c : cases) EXPECT_EQ(fileNamePart(c.path), c.name) << std::string(c.path.begin(), c.path.end());
}

TEST(Path, StopsAtAZeroUnitAsTheShellDoes)
{
    const std::u16string path(u"a\0b\\c", 5);
    EXPECT_EQ(fileNamePart(path), u"a");
}

#ifdef _WIN32
TEST(Path, AgreesWithTheShell)
{
    for (const auto& c : cases) {
        const std::u16string buffer(c.path);
        EXPECT_EQ(fromWide(PathFindFileNameW(wide(buffer))), fileNamePart(c.path));
    }
}
#endif
