#include "report/report_job.h"

#include <algorithm>

#include "text/format.h"
#include "text/string_table.h"
#include "text/user_notifier.h"

namespace norvalt {

namespace {

#ifdef _WIN32
constexpr char16_t separator = u'\\';
#else
constexpr char16_t separator = u'/';
#endif

// The capacity, in wide characters, of the host's template folder buffer.
constexpr std::size_t templateFolderCapacity = 260;

void tellError(std::u16string text, NoticeOwner owner)
{
    userNotifier().notify(NoticeKind::Error, text, owner);
}

} // namespace

ReportJob::ReportJob(ReportInput input, std::u16string templateFolder, std::u16string outputPath)
    : input_(std::move(input)), templateFolder_(std::move(templateFolder)), outputPath_(std::move(outputPath))
{
}

bool ReportJob::makeReport()
{
    try {
        loadTemplate();
    } catch (const ProcessorError& e) {
        tellError(format(loadString(IDS_ERR_TEMPLATE_CODE), e.code(), e.text()), noticeOwner_);
        return false;
    } catch (const std::exception& e) {
        tellError(format(loadString(IDS_ERR_TEMPLATE), exceptionDescription(e)), noticeOwner_);
        return false;
    }
    try {
        sourceXml_ = buildReportDocument(input_);
        transformReport();
    } catch (const ProcessorError& e) {
        tellError(format(loadString(IDS_ERR_REPORT_CODE), e.code(), e.text()), noticeOwner_);
        return false;
    } catch (const std::exception& e) {
        tellError(format(loadString(IDS_ERR_REPORT), exceptionDescription(e)), noticeOwner_);
        return false;
    }
    return true;
}

bool ReportJob::run(const ReportOpener& open)
{
    if (!makeReport()) return false;
    if (open) open(outputPath_);
    return true;
}

std::u16string reportTemplatePath(std::u16string_view templateFolder)
{
    std::u16string path(templateFolder);
    path += separator;
    path += u"norvalt";
    path += separator;
    path += u"Report.xsl";
    return path;
}

std::u16string reportTemplateFolder(Host host, NoticeOwner owner)
{
    if (!host.hasService(service::TemplatePath)) {
        tellError(loadString(IDS_NO_TEMPLATE_SERVICE), owner);
        return {};
    }
    char16_t buffer[templateFolderCapacity] = {};
    host.callService(service::TemplatePath, static_cast<HostArg>(templateFolderCapacity), Host::arg(buffer));
    // A host that fills the whole buffer leaves no terminator.
    char16_t* end = std::find(buffer, buffer + templateFolderCapacity, u'\0');
    return std::u16string(buffer, end);
}

} // namespace norvalt
