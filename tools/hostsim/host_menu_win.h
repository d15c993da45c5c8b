#pragma once
// The host's main menu as plug-ins extend it: a menu path "Данные/Расчёты/
// Item" names nested menus (created when missing) and the item at the end,
// which calls the plug-in's service when picked.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace norvalt::hostsim {

class HostMenu {
public:
    explicit HostMenu(HMENU bar) : bar_(bar) {}

    // The item's command id; 0 when the path names no item (empty, or an
    // empty part).
    UINT addItem(std::u16string_view path, const std::string& service);
    // The service of a plug-in item, or null for any other command.
    const std::string* serviceOf(UINT id) const;
    // The first plug-in item added, 0 when there is none.
    UINT firstItem() const { return services_.empty() ? 0 : services_.begin()->first; }

private:
    HMENU bar_;
    std::map<UINT, std::string> services_;
    UINT nextId_ = 40001;
};

} // namespace norvalt::hostsim
