#include "host_options.h"

#include <charconv>

#include "text/utf.h"

namespace norvalt::hostsim {

const char* const usage =
    "usage: hostsim [options]\n"
    "  --plugin DLL          the plug-in to load (default: norvalt.dll beside hostsim.exe)\n"
    "  --db FILE             the database that \"DB/GetConnectionUri\" names\n"
    "  --sample-lab DIR      write the sample laboratory to DIR and use its database\n"
    "  --templates DIR       the folder that \"Cfg/TemplatePath\" gives\n"
    "  --language ID         the answer of \"System/GetLanguage\" (default 1049)\n"
    "  --without NAME[,...]  services the host does not offer\n"
    "  --assays IDS[;IDS...] the ids each \"Main/OpenAssayIdDlg\" answers, in turn (IDS: ID[,ID...],\n"
    "                        empty for none); without it the host shows its assay dialog\n"
    "  --profile FILE        the profile store (key=value lines), read at start, written at the end\n"
    "  --log FILE            every call through the host's table, event and action, one per line\n"
    "  --actions A[,A...]    play these and end: menu, wait:MS, command:ID, select:ID:ROW, tab:ID:PAGE,\n"
    "                        text:ID:TEXT (no commas), count:ID, key:[ctrl+][shift+]VK, focus, host-focus,\n"
    "                        close, shot:FILE.bmp, unload, quit; the host logs the keys its own window gets;\n"
    "                        they start at once, so that they can answer start-up's message boxes\n"
    "  --skip-modules-loaded never raise \"System/ModulesLoaded\" (a host that unloads at once)\n";

namespace {

std::optional<std::int32_t> toInt(std::string_view text)
{
    std::int32_t value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    for (;;) {
        const auto at = text.find(separator);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

std::optional<Action> parseAction(const std::string& item, std::string& error)
{
    const auto parts = split(item, ':');
    const std::string& name = parts[0];
    auto number = [&](std::size_t i) { return i < parts.size() ? toInt(parts[i]) : std::nullopt; };
    Action action;
    if (name == "menu" && parts.size() == 1) action.kind = Action::Menu;
    else if (name == "close" && parts.size() == 1) action.kind = Action::Close;
    else if (name == "focus" && parts.size() == 1) action.kind = Action::Focus;
    else if (name == "host-focus" && parts.size() == 1) action.kind = Action::HostFocus;
    else if (name == "key" && parts.size() == 2) {
        // key:[ctrl+][shift+]VK
        std::string_view key = parts[1];
        action.kind = Action::Key;
        for (;;) {
            if (key.rfind("ctrl+", 0) == 0) {
                action.row |= 1;
                key.remove_prefix(5);
            } else if (key.rfind("shift+", 0) == 0) {
                action.row |= 2;
                key.remove_prefix(6);
            } else {
                break;
            }
        }
        const auto code = toInt(key);
        if (!code || *code <= 0 || *code > 254) {
            error = "not a key: '" + item + "'";
            return std::nullopt;
        }
        action.number = *code;
    } else if (name == "count" && parts.size() == 2 && number(1)) {
        action.kind = Action::Count;
        action.number = *number(1);
    }
    else if (name == "unload" && parts.size() == 1) action.kind = Action::Unload;
    else if (name == "quit" && parts.size() == 1) action.kind = Action::Quit;
    else if ((name == "wait" || name == "command") && parts.size() == 2 && number(1) && *number(1) >= 0) {
        action.kind = name == "wait" ? Action::Wait : Action::Command;
        action.number = *number(1);
    } else if ((name == "select" || name == "tab") && parts.size() == 3 && number(1) && number(2)) {
        action.kind = name == "select" ? Action::Select : Action::Tab;
        action.number = *number(1);
        action.row = *number(2);
    } else if (name == "text" && parts.size() >= 2 && number(1)) {
        // The text is everything after the second colon, colons included.
        action.kind = Action::Text;
        action.number = *number(1);
        const auto second = item.find(':', item.find(':') + 1);
        action.text = second == std::string::npos ? u"" : utf8ToUtf16(item.substr(second + 1));
    } else if (name == "shot" && parts.size() >= 2 && item.size() > 5) {
        action.kind = Action::Shot;
        action.text = utf8ToUtf16(item.substr(5));
    } else {
        error = "not an action: '" + item + "'";
        return std::nullopt;
    }
    return action;
}

} // namespace

std::optional<Options> parseOptions(const std::vector<std::u16string>& args, std::string& error)
{
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string name = utf16ToUtf8(args[i]);
        if (name == "--skip-modules-loaded") {
            options.skipModulesLoaded = true;
            continue;
        }
        if (i + 1 == args.size()) {
            error = name.rfind("--", 0) == 0 ? "option " + name + " needs a value" : "unknown argument '" + name + "'";
            return std::nullopt;
        }
        const std::u16string& value = args[++i];
        const std::string text = utf16ToUtf8(value);
        if (name == "--plugin") options.plugin = value;
        else if (name == "--db") options.db = value;
        else if (name == "--sample-lab") options.sampleLab = value;
        else if (name == "--templates") options.templates = value;
        else if (name == "--profile") options.profile = value;
        else if (name == "--log") options.log = value;
        else if (name == "--language") {
            options.language = toInt(text);
            if (!options.language) {
                error = "--language takes a number, not '" + text + "'";
                return std::nullopt;
            }
        } else if (name == "--without") {
            for (const std::string& service : split(text, ','))
                if (!service.empty()) options.without.insert(service);
        } else if (name == "--assays") {
            options.assaysScripted = true;
            for (const std::string& answer : split(text, ';')) {
                std::vector<std::int32_t> ids;
                if (!answer.empty())
                    for (const std::string& id : split(answer, ',')) {
                        const auto n = toInt(id);
                        if (!n) {
                            error = "--assays: not an assay id: '" + id + "'";
                            return std::nullopt;
                        }
                        ids.push_back(*n);
                    }
                options.assays.push_back(std::move(ids));
            }
        } else if (name == "--actions") {
            options.scripted = true;
            for (const std::string& item : split(text, ',')) {
                auto action = parseAction(item, error);
                if (!action) return std::nullopt;
                options.actions.push_back(std::move(*action));
            }
        } else {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
    }
    if (!options.db.empty() && !options.sampleLab.empty()) {
        error = "give --db or --sample-lab, not both";
        return std::nullopt;
    }
    return options;
}

} // namespace norvalt::hostsim
