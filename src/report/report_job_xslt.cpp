// The report job's processor where there is no MSXML: libxml2 parses,
// libxslt transforms. The steps and their failure texts are those of the
// Windows job; the HTML is written in the output encoding of the template.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include "report/report_job.h"
#include "text/utf.h"

extern char** environ;

namespace norvalt {

namespace {

struct DocFree {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};
struct StyleFree {
    void operator()(xsltStylesheetPtr style) const { xsltFreeStylesheet(style); }
};
struct ContextFree {
    void operator()(xsltTransformContextPtr context) const { xsltFreeTransformContext(context); }
};
struct PrefsFree {
    void operator()(xsltSecurityPrefsPtr prefs) const { xsltFreeSecurityPrefs(prefs); }
};
struct BytesFree {
    void operator()(xmlChar* bytes) const { xmlFree(bytes); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;
using Style = std::unique_ptr<xsltStylesheet, StyleFree>;
using Context = std::unique_ptr<xsltTransformContext, ContextFree>;
using Prefs = std::unique_ptr<xsltSecurityPrefs, PrefsFree>;
using Bytes = std::unique_ptr<xmlChar, BytesFree>;

// Parse failures are told by the fixed texts; nothing goes to the terminal.
constexpr int parseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// What libxml2 and libxslt report while it lives, instead of printing it.
class ErrorCapture {
public:
    ErrorCapture()
    {
        xmlSetGenericErrorFunc(this, &ErrorCapture::collect);
        xsltSetGenericErrorFunc(this, &ErrorCapture::collect);
    }
    ~ErrorCapture()
    {
        xmlSetGenericErrorFunc(nullptr, nullptr);
        xsltSetGenericErrorFunc(nullptr, nullptr);
    }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    // The messages, within a bound: a template can fail on every node.
    std::string text() const
    {
        std::string t = text_.substr(0, 1000);
        while (!t.empty() && (t.back() == '\n' || t.back() == ' ')) t.pop_back();
        return t;
    }

private:
    static void collect(void* self, const char* message, ...)
    {
        char buffer[512];
        va_list args;
        va_start(args, message);
        std::vsnprintf(buffer, sizeof buffer, message, args);
        va_end(args);
        static_cast<ErrorCapture*>(self)->text_ += buffer;
    }

    std::string text_;
};

// A UTF-16 text as the parser is handed it, whatever encoding its
// declaration names.
Doc parseText(const std::u16string& text, const char* url)
{
    return Doc(xmlReadMemory(reinterpret_cast<const char*>(text.data()), static_cast<int>(text.size() * 2), url,
                             "UTF-16LE", parseOptions | XML_PARSE_IGNORE_ENC));
}

std::u16string documentText(xmlDocPtr doc)
{
    xmlChar* bytes = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc, &bytes, &size, "UTF-8");
    Bytes owner(bytes);
    if (!bytes) throw std::bad_alloc();
    return utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size)));
}

// The result as text, in UTF-8 whatever the output encoding of the template.
std::u16string resultText(xmlDocPtr result, xsltStylesheetPtr style)
{
    xmlOutputBufferPtr buffer = xmlAllocOutputBuffer(nullptr);
    if (!buffer) throw std::bad_alloc();
    xsltSaveResultTo(buffer, result, style);
    const std::u16string text = utf8ToUtf16(std::string_view(
        reinterpret_cast<const char*>(xmlOutputBufferGetContent(buffer)), xmlOutputBufferGetSize(buffer)));
    xmlOutputBufferClose(buffer);
    return text;
}

bool writeAll(int fd, const xmlChar* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the page to `path`, or to a new file in the temporary folder when
// `path` is empty (and sets it). A failed write leaves no file behind.
void savePage(std::u16string& path, const xmlChar* bytes, std::size_t size)
{
    std::string file;
    int fd = -1;
    if (path.empty()) {
        file = (std::filesystem::temp_directory_path() / "nvrXXXXXX.html").string();
        fd = mkstemps(file.data(), 5);
        if (fd < 0) throw std::runtime_error("Failed to create a temporary file.");
        path = utf8ToUtf16(file);
    } else {
        file = utf16ToUtf8(path);
        fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) throw std::runtime_error("Failed to save result document.");
    }
    const bool written = writeAll(fd, bytes, size);
    if (::close(fd) != 0 || !written) {
        ::unlink(file.c_str());
        throw std::runtime_error("Failed to save result document.");
    }
}

} // namespace

void ReportJob::loadTemplate()
{
    const std::string path = utf16ToUtf8(reportTemplatePath(templateFolder_));
    ErrorCapture errors;
    const Doc doc(xmlReadFile(path.c_str(), nullptr, parseOptions));
    if (!doc) throw std::runtime_error("Error parsing XSLT Document instance.");
    stylesheetXml_ = documentText(doc.get());
}

void ReportJob::transformReport()
{
    ErrorCapture errors;
    const Doc source = parseText(sourceXml_, "report.xml");
    if (!source) throw std::runtime_error("Error parsing Source Document instance.");
    Doc stylesheetDoc = parseText(stylesheetXml_, "Report.xsl");
    if (!stylesheetDoc) throw std::runtime_error("Error parsing Stylesheet Document instance.");

    auto failed = [&errors]() {
        const std::string detail = errors.text();
        return std::runtime_error("Error transforming Source Document instance." +
                                  (detail.empty() ? std::string() : "\n" + detail));
    };
    // On success the stylesheet owns its document.
    const Style style(xsltParseStylesheetDoc(stylesheetDoc.get()));
    if (!style) throw failed();
    stylesheetDoc.release();

    const Prefs prefs(xsltNewSecurityPrefs());
    const Context context(xsltNewTransformContext(style.get(), source.get()));
    if (!context || !prefs) throw std::bad_alloc();
    // The template is the host's, but a report has no business writing files
    // or reaching the network.
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_WRITE_FILE, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_CREATE_DIRECTORY, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_READ_NETWORK, xsltSecurityForbid);
    xsltSetSecurityPrefs(prefs.get(), XSLT_SECPREF_WRITE_NETWORK, xsltSecurityForbid);
    xsltSetCtxtSecurityPrefs(prefs.get(), context.get());

    const Doc result(xsltApplyStylesheetUser(style.get(), source.get(), nullptr, nullptr, nullptr, context.get()));
    if (!result || context->state != XSLT_STATE_OK) throw failed();
    // As with MSXML, which builds the result as a document: a result without
    // a document element is no page.
    if (!xmlDocGetRootElement(result.get())) throw std::runtime_error("Failed to load result document.");

    resultXml_ = resultText(result.get(), style.get());
    xmlChar* bytes = nullptr;
    int size = 0;
    if (xsltSaveResultToString(&bytes, &size, result.get(), style.get()) != 0)
        throw std::runtime_error("Failed to load result document.");
    const Bytes page(bytes);
    savePage(outputPath_, page.get(), static_cast<std::size_t>(size));
}

void openWithShell(const std::u16string& path)
{
    const std::string file = utf16ToUtf8(path);
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(file.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) == 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

std::u16string exceptionDescription(const std::exception& e)
{
    return utf8ToUtf16(e.what());
}

} // namespace norvalt
