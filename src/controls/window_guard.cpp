#include "controls/window_guard.h"

#include "text/format.h"
#include "text/string_table.h"
#include "text/utf.h"

namespace norvalt {

void tellFailureAtWindowEdge(NoticeOwner owner, const char* what) noexcept
{
    static bool telling = false;
    if (telling) return;
    telling = true;
    try {
        std::u16string detail = what ? utf8ToUtf16(what) : std::u16string();
        userNotifier().notify(NoticeKind::Error, format(loadString(IDS_ERR_AT_WINDOW_EDGE), detail), owner);
    } catch (...) {
        // Out of memory while telling: nothing more can be said safely.
    }
    telling = false;
}

} // namespace norvalt
