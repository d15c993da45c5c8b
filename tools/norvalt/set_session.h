#pragma once
// The command-line host behind `calc` and `report`: it offers the host's
// services in-process, starts the module's state as the host's start-up
// would, opens a chromatogram set as the main window does, adds the chosen
// assays through the assay dialog service and selects a row.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "calc/message_list.h"
#include "host/local_host.h"
#include "text/user_notifier.h"
#include "workset/chromatogram_set.h"
#include "workset/windowless_views.h"

namespace norvalt::cli {

struct SetOptions {
    std::string db;
    std::string assays;  // "ID[,ID...]"
    bool all = false;
    std::optional<std::int32_t> select;
    std::optional<double> water;
    std::vector<std::string> altNames;  // "N=TEXT"
    std::string profile;
};

// Registers the options shared by the commands that build a set.
void addSetOptions(CLI::App& command, SetOptions& options);

// Notices go to standard error; errors (the database's) are remembered.
class CliNotifier : public StderrNotifier {
public:
    bool failed = false;

protected:
    void show(NoticeKind kind, std::u16string_view text, NoticeOwner owner) override
    {
        if (kind == NoticeKind::Error) failed = true;
        StderrNotifier::show(kind, text, owner);
    }
};

class SetSession {
public:
    explicit SetSession(const SetOptions& options);
    ~SetSession();

    // Builds the set; gives 0, or the exit code of a failure (already told
    // on standard error).
    int build();

    ChromatogramSet& set() { return *set_; }
    const std::vector<std::int32_t>& rows() const { return views_.rows; }
    MessageList& messages() { return messages_; }
    LocalHost& host() { return host_; }
    bool dataBaseFailed() const { return notifier_.failed; }

private:
    int parseIds(std::vector<std::int32_t>& ids);
    int applySettings();

    const SetOptions& options_;
    std::filesystem::path profilePath_;
    LocalHost host_;
    std::u16string dataBasePath_;
    std::vector<std::int32_t> pendingIds_;
    MessageList messages_;
    CurrentMessageList currentMessages_{messages_};
    WindowlessViews views_;
    CliNotifier notifier_;
    UserNotifier* previousNotifier_ = nullptr;
    std::unique_ptr<ChromatogramSet> set_;
    bool opened_ = false;
};

} // namespace norvalt::cli
