#pragma once
// The report command's work: the host's XSLT template "Report.xsl" from the
// module's sub-folder of the template folder, the report document, the
// transformation into an HTML file, and opening that file. Windows uses
// MSXML 6 through COM; elsewhere libxslt does the same steps. Every failure
// is told to the user (messages 174 to 177) and ends the job without a file.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "host/host_services.h"
#include "report/report_document.h"
#include "text/user_notifier.h"

namespace norvalt {

// A failing call of the XSLT processor with its result code: an HRESULT
// and the system's text for it on Windows.
class ProcessorError : public std::exception {
public:
    ProcessorError(std::int32_t code, std::u16string text) : code_(code), text_(std::move(text)) {}
    const char* what() const noexcept override { return "XSLT processor error"; }
    std::int32_t code() const { return code_; }
    const std::u16string& text() const { return text_; }

private:
    std::int32_t code_;
    std::u16string text_;
};

// Opens a written report; gets the HTML file's full path.
using ReportOpener = std::function<void(const std::u16string& path)>;

class ReportJob {
public:
    // `outputPath` empty: a new file in the user's temporary folder.
    ReportJob(ReportInput input, std::u16string templateFolder, std::u16string outputPath = {});

    // loadTemplate, the document, transformReport. A failure is told to the
    // user and gives false; a failing template stops the job before the
    // document is built.
    bool makeReport();
    // makeReport, then `open` with the HTML file when it was written.
    bool run(const ReportOpener& open);

    // The window that owns the failure notices (the main window); none by
    // default.
    void setNoticeOwner(NoticeOwner owner) { noticeOwner_ = owner; }

    // The steps, throwing a std::exception with the failure's description
    // or a ProcessorError.
    void loadTemplate();
    void transformReport();

    const std::u16string& sourceXml() const { return sourceXml_; }
    const std::u16string& stylesheetXml() const { return stylesheetXml_; }
    const std::u16string& resultXml() const { return resultXml_; }
    const std::u16string& outputPath() const { return outputPath_; }

private:
    ReportInput input_;
    std::u16string templateFolder_;
    std::u16string sourceXml_;
    std::u16string stylesheetXml_;
    std::u16string resultXml_;
    std::u16string outputPath_;
    NoticeOwner noticeOwner_;
};

// The template inside the host's template folder: the folder, the
// module's sub-folder and "Report.xsl", joined by the platform's separator
// whatever the folder ends with.
std::u16string reportTemplatePath(std::u16string_view templateFolder);

// The host's template folder through "Cfg/TemplatePath". Without that
// service the user is told (message 138, owned by `owner`) and the folder is
// empty.
std::u16string reportTemplateFolder(Host host, NoticeOwner owner = {});

// Opens the file with the program that the desktop associates with it
// (Windows: the shell's "open", maximised; elsewhere xdg-open). Whether it
// opened is not known.
void openWithShell(const std::u16string& path);

// The description of a standard exception as the user reads it (Windows:
// from the thread's ANSI code page; elsewhere UTF-8).
std::u16string exceptionDescription(const std::exception& e);

} // namespace norvalt
