// The report job's processor on Windows: MSXML 6 through COM. COM is
// initialised for the calling thread only around each of the two steps.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <msxml2.h>
#include <shellapi.h>

#include <stdexcept>
#include <utility>

#include "report/report_job.h"
#include "text/format.h"
#include "text/wide.h"

namespace norvalt {

namespace {

// MinGW's headers stop at MSXML 4; these are MSXML 6's.
constexpr CLSID clsidDomDocument60 = {0x88D96A05, 0xF192, 0x11D4, {0xA6, 0x5F, 0x00, 0x40, 0x96, 0x32, 0x51, 0xE5}};
constexpr IID iidXmlDomDocument2 = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// The text that _com_error::ErrorMessage gives for a code: the system's
// message without its line break, else the forms for codes that the system
// does not know.
std::u16string comErrorMessage(HRESULT hr)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer), 0,
        nullptr);
    if (length > 0 && buffer) {
        std::u16string text(fromWide(buffer, length));
        LocalFree(buffer);
        if (text.size() >= 2 && text.ends_with(u"\r\n")) text.resize(text.size() - 2);
        return text;
    }
    const auto code = static_cast<std::uint32_t>(hr);
    // Codes an IDispatch implementation defines for itself.
    if (code >= 0x80040200u && code <= 0x8004FFFFu) return format(u"IDispatch error #%d", code - 0x80040200u);
    return format(u"Unknown error 0x%X", code);
}

void check(HRESULT hr)
{
    if (FAILED(hr)) throw ProcessorError(static_cast<std::int32_t>(hr), comErrorMessage(hr));
}

// One CoInitialize and its CoUninitialize, whichever way the step ends.
class ComApartment {
public:
    ComApartment()
    {
        if (FAILED(CoInitialize(nullptr))) throw std::runtime_error("Failed to initialize COM environment.");
    }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (p_) p_->Release();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() { return &p_; }
    void** out() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::u16string& text)
        : b_(SysAllocStringLen(wide(text), static_cast<UINT>(text.size())))
    {
        if (!b_) check(E_OUTOFMEMORY);
    }
    Bstr() = default;
    ~Bstr() { SysFreeString(b_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return b_; }
    BSTR* out() { return &b_; }
    std::u16string text() const { return std::u16string(fromWide(b_, SysStringLen(b_))); }

private:
    BSTR b_ = nullptr;
};

// A VARIANT holding a string, as load and save take a path.
class StringVariant {
public:
    explicit StringVariant(const std::u16string& text) : text_(text)
    {
        VariantInit(&v_);
        V_VT(&v_) = VT_BSTR;
        V_BSTR(&v_) = text_.get();
    }
    const VARIANT& get() const { return v_; }

private:
    Bstr text_;
    VARIANT v_;
};

// DOMDocument60, created, run and asked for IXMLDOMDocument2; null when any
// of that fails.
ComPtr<IXMLDOMDocument2> createDocument()
{
    ComPtr<IUnknown> unknown;
    ComPtr<IXMLDOMDocument2> document;
    if (FAILED(CoCreateInstance(clsidDomDocument60, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.out())) ||
        FAILED(OleRun(unknown.get())) || FAILED(unknown->QueryInterface(iidXmlDomDocument2, document.out())))
        return {};
    return document;
}

ComPtr<IXMLDOMDocument2> createDocument(const char* failure)
{
    ComPtr<IXMLDOMDocument2> document = createDocument();
    if (!document) throw std::runtime_error(failure);
    return document;
}

// loadXML, telling a text that does not parse by `failure`.
void loadText(IXMLDOMDocument2* document, const std::u16string& text, const char* failure)
{
    VARIANT_BOOL loaded = VARIANT_FALSE;
    check(document->loadXML(Bstr(text).get(), &loaded));
    if (loaded != VARIANT_TRUE) throw std::runtime_error(failure);
}

// GetTempFileNameW creates the empty file prefix + number + ".tmp"; the page
// goes beside it under that name with ".html" appended. The empty file
// stays: it keeps the number taken.
std::u16string newTemporaryHtmlPath()
{
    wchar_t folder[MAX_PATH] = {};
    wchar_t name[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || GetTempFileNameW(folder, L"nvr", 0, name) == 0)
        throw std::runtime_error("Failed to create a temporary file.");
    return std::u16string(fromWide(name)) + u".html";
}

} // namespace

void ReportJob::loadTemplate()
{
    const ComApartment com;
    const ComPtr<IXMLDOMDocument2> document = createDocument("Failed to create XSLT Document instance.");
    check(document->put_async(VARIANT_FALSE));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    check(document->load(StringVariant(reportTemplatePath(templateFolder_)).get(), &loaded));
    if (loaded != VARIANT_TRUE) throw std::runtime_error("Error parsing XSLT Document instance.");
    Bstr xml;
    check(document->get_xml(xml.out()));
    stylesheetXml_ = xml.text();
}

void ReportJob::transformReport()
{
    const ComApartment com;
    const ComPtr<IXMLDOMDocument2> source = createDocument("Failed to create Source Document instance.");
    const ComPtr<IXMLDOMDocument2> result = createDocument("Failed to create Result Document instance.");
    const ComPtr<IXMLDOMDocument2> stylesheet = createDocument("Failed to create Stylesheet Document instance.");
    loadText(source.get(), sourceXml_, "Error parsing Source Document instance.");
    loadText(stylesheet.get(), stylesheetXml_, "Error parsing Stylesheet Document instance.");

    VARIANT output;
    VariantInit(&output);
    V_VT(&output) = VT_DISPATCH;
    V_DISPATCH(&output) = result.get();
    check(source->transformNodeToObject(stylesheet.get(), output));

    // A result without a document element is no page: MSXML builds the
    // result as a document, and what is not well-formed XML (or nothing at
    // all, which is what Wine's MSXML gives for a stylesheet it cannot
    // compile) does not load into it.
    ComPtr<IXMLDOMElement> page;
    Bstr xml;
    if (FAILED(result->get_documentElement(page.put())) || !page ||
        FAILED(result->get_xml(xml.out())))
        throw std::runtime_error("Failed to load result document.");
    resultXml_ = xml.text();

    if (outputPath_.empty()) outputPath_ = newTemporaryHtmlPath();
    const HRESULT saved = result->save(StringVariant(outputPath_).get());
    if (FAILED(saved)) {
        // A page that could not be saved whole is no report.
        DeleteFileW(wide(outputPath_));
        check(saved);
    }
}

void openWithShell(const std::u16string& path)
{
    ShellExecuteW(nullptr, L"open", wide(path), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

std::u16string exceptionDescription(const std::exception& e)
{
    const char* what = e.what();
    const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, what, -1, nullptr, 0);
    if (length <= 1) return {};
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, what, -1, wideBuffer(text), length);
    text.pop_back();
    return text;
}

} // namespace norvalt
