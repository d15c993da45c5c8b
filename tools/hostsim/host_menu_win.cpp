#include "host_menu_win.h"

#include <vector>

#include "text/wide.h"

namespace norvalt::hostsim {

namespace {

// The popup of `menu` whose text is `name`, made at the end when missing.
HMENU popupNamed(HMENU menu, const std::u16string& name)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        if (fromWide(text) == name)
            if (HMENU sub = GetSubMenu(menu, i)) return sub;
    }
    HMENU sub = CreatePopupMenu();
    AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), wide(name));
    return sub;
}

} // namespace

UINT HostMenu::addItem(std::u16string_view path, const std::string& service)
{
    std::vector<std::u16string> parts;
    for (;;) {
        const auto slash = path.find(u'/');
        parts.emplace_back(path.substr(0, slash));
        if (parts.back().empty()) return 0;
        if (slash == std::u16string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    HMENU menu = bar_;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
        menu = popupNamed(menu, parts[i]);
    const UINT id = nextId_++;
    AppendMenuW(menu, MF_STRING, id, wide(parts.back()));
    services_[id] = service;
    return id;
}

const std::string* HostMenu::serviceOf(UINT id) const
{
    auto it = services_.find(id);
    return it == services_.end() ? nullptr : &it->second;
}

} // namespace norvalt::hostsim
