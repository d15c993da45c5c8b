#include "set_session.h"

#include <algorithm>
#include <charconv>
#include <iostream>

#include "calc/components.h"
#include "commands.h"
#include "data/database.h"
#include "host/profile_settings.h"
#include "workset/module_settings.h"
#include "profile_file.h"
#include "text/utf.h"

namespace norvalt::cli {

namespace {

bool parseInt(std::string_view text, std::int32_t& value)
{
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() && res.ptr == text.data() + text.size();
}

} // namespace

void addSetOptions(CLI::App& command, SetOptions& options)
{
    command.add_option("--db", options.db, "The host's database file")->required();
    auto* assays = command.add_option("--assays", options.assays, "Assay ids to add, in order: ID[,ID...]");
    auto* all = command.add_flag("--all", options.all, "Add every assay of the database, in ascending id");
    assays->excludes(all);
    command.add_option("--select", options.select, "Select the row of this assay id, as a click would");
    command.add_option("--water", options.water, "Water mass fraction, %, stored as the settings dialog would");
    command.add_option("--alt-name", options.altNames,
                       "Alternative peak name of a component (ids 0-5), as the settings dialog stores it: N=TEXT");
    command.add_option("--profile", options.profile, "Profile file (default: $XDG_CONFIG_HOME/norvalt/profile)");
}

SetSession::SetSession(const SetOptions& options) : options_(options)
{
    previousNotifier_ = setUserNotifier(&notifier_);
}

SetSession::~SetSession()
{
    // The main window's final clean-up stores the alternative names.
    if (opened_) {
        storeComponentAltNames(ProfileSettings(Host(host_.table())));
        if (!writeProfileFile(profilePath_, host_.profile()))
            std::cerr << "warning: cannot write the profile " << profilePath_.string() << '\n';
    }
    set_.reset();
    releaseConnection();
    setUserNotifier(previousNotifier_);
}

int SetSession::parseIds(std::vector<std::int32_t>& ids)
{
    if (options_.all) {
        try {
            DataBaseHandle handle = openHostDataBase();
            auto statement = prepareStatement(handle, u"SELECT id FROM [assay] ORDER BY id;");
            readRows<std::int64_t>(statement, [&ids](std::int64_t id) {
                if (id >= INT32_MIN && id <= INT32_MAX) ids.push_back(static_cast<std::int32_t>(id));
            });
        } catch (const DataBase::SqlException& e) {
            std::cerr << "database error " << e.code << ": " << e.what() << '\n' << e.sql << '\n';
            return exitDataBase;
        }
        return exitOk;
    }
    std::string_view rest = options_.assays;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        std::int32_t id = 0;
        if (!parseInt(item, id)) {
            std::cerr << "error: not an assay id: '" << item << "'\n";
            return exitUsage;
        }
        ids.push_back(id);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    if (ids.empty()) {
        std::cerr << "error: give --assays ID[,ID...] or --all\n";
        return exitUsage;
    }
    return exitOk;
}

int SetSession::applySettings()
{
    ProfileSettings profile(Host(host_.table()));
    // As the main window opens.
    loadComponentAltNames(profile);
    // As the settings dialog does when it closes with OK.
    for (const std::string& entry : options_.altNames) {
        const auto eq = entry.find('=');
        std::int32_t id = -1;
        if (eq == std::string::npos || !parseInt(std::string_view(entry).substr(0, eq), id) || id < 0 ||
            id >= UnidentifiedSubstance) {
            std::cerr << "error: --alt-name takes N=TEXT with N from 0 to 5, not '" << entry << "'\n";
            return exitUsage;
        }
        setComponentAltName(id, utf8ToUtf16(entry.substr(eq + 1)));
    }
    if (options_.water) storeWaterMassFraction(profile, *options_.water);
    set_->setWaterMassFractionSetting(readWaterMassFraction(profile));
    return exitOk;
}

int SetSession::build()
{
    if (!std::filesystem::exists(std::filesystem::u8path(options_.db))) {
        std::cerr << "error: no database file " << options_.db << '\n';
        return exitDataBase;
    }
    dataBasePath_ = utf8ToUtf16(options_.db);
    profilePath_ = options_.profile.empty() ? defaultProfilePath() : std::filesystem::u8path(options_.profile);

    // The host's side: its services and its profile store.
    host_.offerProfileStore();
    host_.profile() = readProfileFile(profilePath_);
    host_.offer(service::GetConnectionUri,
                [this](HostArg, HostArg) -> HostResult { return Host::arg(dataBasePath_.c_str()); });
    host_.offer(service::OpenAssayIdDlg, [this](HostArg capacity, HostArg buffer) -> HostResult {
        auto* ids = reinterpret_cast<std::int32_t*>(buffer);
        const std::size_t n = std::min<std::size_t>(pendingIds_.size(), static_cast<std::size_t>(capacity));
        std::copy_n(pendingIds_.begin(), n, ids);
        pendingIds_.erase(pendingIds_.begin(), pendingIds_.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<HostResult>(n);
    });
    host_.offer(service::OpenAssayFile, [](HostArg, HostArg path) -> HostResult {
        std::cout << utf16ToUtf8(reinterpret_cast<const char16_t*>(path)) << '\n';
        return 0;
    });

    // The module's start-up: the database location and the profile prefix.
    Host host(host_.table());
    setHostServices(host_.table());
    takeConnectionLocation(host);
    setModuleProfilePrefix();

    // The main window opens.
    set_ = std::make_unique<ChromatogramSet>(host, messages_, views_);
    views_.set = set_.get();
    opened_ = true;
    if (const int code = applySettings(); code != exitOk) return code;

    std::vector<std::int32_t> ids;
    if (const int code = parseIds(ids); code != exitOk) return code;
    pendingIds_ = std::move(ids);
    // The add command, as often as the dialog has ids to give.
    while (!pendingIds_.empty()) set_->addAssays();
    if (notifier_.failed) return exitDataBase;

    if (options_.select) {
        if (std::find(views_.rows.begin(), views_.rows.end(), *options_.select) == views_.rows.end()) {
            std::cerr << "error: assay " << *options_.select << " is not in the list\n";
            return exitUsage;
        }
        set_->selectAssay(*options_.select);
    }
    return exitOk;
}

} // namespace norvalt::cli
