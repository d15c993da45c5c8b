// norvalt report: the determination on a host database, built as `calc`
// builds it, written as the HTML report through the host's XSLT template.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "commands.h"
#include "report/report_job.h"
#include "set_session.h"
#include "text/utf.h"

namespace norvalt::cli {

namespace {

struct ReportOptions {
    SetOptions set;
    std::string templates;
    std::string output;
    std::string xml;
    bool open = false;
};

// The UTF-16LE bytes of the document, as the transformation receives them.
bool writeDocument(const std::string& path, const std::u16string& document)
{
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary);
    for (const char16_t unit : document) {
        const char bytes[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        out.write(bytes, 2);
    }
    return static_cast<bool>(out.flush());
}

int runReport(const ReportOptions& options)
{
    SetSession session(options.set);
    if (const int code = session.build(); code != exitOk) return code;

    // The host's template folder; without --templates the host offers no
    // such service, as a host without report templates would.
    const std::u16string folder = utf8ToUtf16(options.templates);
    if (!options.templates.empty())
        session.host().offer(service::TemplatePath, [folder](HostArg capacity, HostArg buffer) -> HostResult {
            auto* chars = reinterpret_cast<char16_t*>(buffer);
            const std::size_t n = std::min<std::size_t>(folder.size(), static_cast<std::size_t>(capacity) - 1);
            std::copy_n(folder.begin(), n, chars);
            chars[n] = u'\0';
            return 0;
        });

    std::u16string output;
    if (!options.output.empty()) output = std::filesystem::absolute(std::filesystem::u8path(options.output)).u16string();
    ReportJob job(ReportInput::of(session.set(), session.messages()), reportTemplateFolder(Host(session.host().table())),
                  output);
    const bool made = job.run(options.open ? ReportOpener(openWithShell) : ReportOpener());

    if (!options.xml.empty() && !job.sourceXml().empty() && !writeDocument(options.xml, job.sourceXml())) {
        std::cerr << "error: cannot write " << options.xml << '\n';
        return exitFailed;
    }
    if (!made) return exitFailed;
    std::cout << utf16ToUtf8(job.outputPath()) << '\n';
    return exitOk;
}

} // namespace

void addReportCommand(CLI::App& app, int& exitCode)
{
    auto options = std::make_shared<ReportOptions>();
    CLI::App* command = app.add_subcommand("report", "Write the report of the determination as an HTML page");
    addSetOptions(*command, options->set);
    command->add_option("--templates", options->templates,
                        "The host's template folder, holding norvalt/Report.xsl (without it the host has no "
                        "template service)");
    command->add_option("-o,--output", options->output, "The HTML file (default: a new file in the temporary folder)");
    command->add_option("--xml", options->xml, "Also write the report document as built (UTF-16LE)");
    command->add_flag("--open", options->open, "Open the page with the desktop's program for it");
    command->callback([options, &exitCode]() { exitCode = runReport(*options); });
}

} // namespace norvalt::cli
