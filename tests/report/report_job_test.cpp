#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#endif

#include <filesystem>
#include <fstream>

#include "host/local_host.h"
#include "report/report_job.h"
#include "report_test_support.h"
#include "text/user_notifier.h"

namespace norvalt {
namespace {

namespace fs = std::filesystem;
using test::ReportData;

const char16_t templateFailure[] = u"Не удалось загрузить шаблон отчёта.\nError parsing XSLT Document instance.";

// A determination with texts that the document and the page must carry
// intact: markup characters, Cyrillic, an empty sample, a control
// character, a mixture index beyond the list.
ReportData determination()
{
    ReportData d;
    d.mixtures = {test::mixture(u"ГСО & Ко")};
    d.chromatograms[2] = test::chromatogram(u"C:\\lab\\g2.stg", u"ГСО <1>", true, 0, 1.0, 1500000000);
    d.chromatograms[4] = test::chromatogram(u"/lab/a4.stg", u"", false, -1, 0.5, 1500003600);
    d.chromatograms[6] = test::chromatogram(u"a6.stg", u"проба\x01" u"6", false, 3, 0.25, 1500007200);
    d.results = {{u"ДЭГ", 0.034, false, 0.0005}, {u"ТЭГ", 0.01, true, 0}, {u"этиленгликоль", 99.878, true, 0.998}};
    d.componentValues = {{u"ДЭГ", 0.812}, {u"ТЭГ", 1.05}};
    d.messages.addMessage(MessageLevel::Error, u"Площадь < 0 & нет пика");
    d.messages.addMessage(MessageLevel::Information, u"Расчёт выполнен");
    return d;
}

class ReportJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("norvalt-report-") + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        previous_ = setUserNotifier(&notices_);
        for (int id = 0; id < 6; ++id) setComponentAltName(id, test::labNames()[id]);
    }
    void TearDown() override
    {
        setUserNotifier(previous_);
        fs::remove_all(dir_);
        for (const fs::path& page : written_) {
            fs::remove(page);
            // Windows keeps the empty file whose name the page extends.
            fs::path reserved = page;
            reserved.replace_extension();
            if (reserved.extension() == ".tmp") fs::remove(reserved);
        }
    }

    // A template folder whose module sub-folder holds `xsl` as Report.xsl.
    std::u16string templates(const std::string& xsl)
    {
        fs::create_directories(dir_ / "templates" / "norvalt");
        std::ofstream(dir_ / "templates" / "norvalt" / "Report.xsl", std::ios::binary) << xsl;
        return (dir_ / "templates").u16string();
    }
    std::u16string defaultTemplates() { return templates(test::slurp(test::defaultTemplate())); }

    std::u16string outputIn(const std::string& name) const { return (dir_ / name).u16string(); }
    void keep(const std::u16string& page) { written_.push_back(fs::path(page)); }

    std::vector<std::u16string> notices() const
    {
        std::vector<std::u16string> texts;
        for (const auto& n : notices_.notices) {
            EXPECT_EQ(n.kind, NoticeKind::Error);
            texts.push_back(n.text);
        }
        return texts;
    }

    fs::path dir_;
    RecordingNotifier notices_;
    UserNotifier* previous_ = nullptr;
    std::vector<fs::path> written_;
};

// The same document through this platform's processor (MSXML under
// Windows, libxslt elsewhere) and the default template: every cell and
// every message of the page is what the document says.
TEST_F(ReportJobTest, DefaultTemplateShowsEveryCellOfTheDocument)
{
    const ReportData d = determination();
    ReportJob job(d.input(), defaultTemplates(), outputIn("report.html"));
    ASSERT_TRUE(job.makeReport());
    EXPECT_TRUE(notices().empty());
    EXPECT_NE(job.stylesheetXml().find(u"xsl:stylesheet"), std::u16string::npos);

    const std::string bytes = test::slurp(fs::path(job.outputPath()));
    const test::PageTexts page = test::readPage(bytes);
    const test::PageTexts expected = test::expectedPage(job.sourceXml());
    ASSERT_EQ(expected.files.size(), 3u);
    ASSERT_EQ(expected.results.size(), 3u);
    ASSERT_EQ(expected.messages.size(), 2u);
    EXPECT_EQ(page, expected);
    // Markup in texts shows as text.
    EXPECT_EQ(page.files[0][2], "ГСО <1>");
    EXPECT_EQ(page.messages[0], "Площадь < 0 & нет пика");

    // The page names the version and the time of building, and is UTF-8
    // as its head declares.
    pugi::xml_document source;
    source.load_buffer(job.sourceXml().data(), job.sourceXml().size() * 2, pugi::parse_default,
                       pugi::encoding_utf16_le);
    EXPECT_NE(page.allText.find("версия 1.0.1.0"), std::string::npos);
    EXPECT_NE(page.allText.find(source.child("root").attribute("date_created").value()), std::string::npos);
    EXPECT_NE(bytes.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(bytes.find("Результаты расчёта"), std::string::npos);
    EXPECT_NE(job.resultXml().find(u"Результаты расчёта"), std::u16string::npos);

    // Compliance is marked on the cell: diethylene glycol fails its norm,
    // ethylene glycol meets it, triethylene glycol has none to meet.
    pugi::xml_document html;
    ASSERT_TRUE(html.load_buffer(bytes.data(), bytes.size()));
    std::vector<std::string> classes;
    for (const auto& td : html.select_nodes("//table[@class='results']/tbody/tr/td[last()]"))
        classes.push_back(td.node().attribute("class").value());
    EXPECT_EQ(classes, (std::vector<std::string>{"fail", "plain", "ok"}));
}

TEST_F(ReportJobTest, FailedRunShowsItsErrorsInsteadOfResults)
{
    ReportData d;
    d.chromatograms[1] = test::chromatogram(u"g1.stg", u"s", true, 0, 1, 0);
    d.mixtures = {test::mixture(u"M")};
    d.messages.addMessage(MessageLevel::Error, u"Выбрана градуировочная хроматограмма");
    ReportJob job(d.input(), defaultTemplates(), outputIn("failed.html"));
    ASSERT_TRUE(job.makeReport());
    const test::PageTexts page = test::readPage(test::slurp(fs::path(job.outputPath())));
    EXPECT_EQ(page, test::expectedPage(job.sourceXml()));
    EXPECT_TRUE(page.results.empty());
    EXPECT_EQ(page.messages, (std::vector<std::string>{"Выбрана градуировочная хроматограмма"}));
    EXPECT_NE(page.allText.find("Расчёт не выполнен"), std::string::npos);
}

TEST_F(ReportJobTest, MissingTemplateStopsTheJobBeforeTheDocument)
{
    const ReportData d = determination();
    std::vector<std::u16string> opened;
    const ReportOpener open = [&opened](const std::u16string& path) { opened.push_back(path); };

    // No module sub-folder in the template folder.
    fs::create_directories(dir_ / "empty");
    ReportJob missing(d.input(), (dir_ / "empty").u16string(), outputIn("missing.html"));
    EXPECT_FALSE(missing.run(open));
    EXPECT_EQ(notices(), std::vector<std::u16string>{templateFailure});
    EXPECT_TRUE(missing.sourceXml().empty());
    EXPECT_FALSE(fs::exists(dir_ / "missing.html"));

    // A template that is not well-formed is refused by the same load.
    notices_.notices.clear();
    ReportJob broken(d.input(), templates("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/"
                                          "Transform\"><xsl:template match=\"/\"></xsl:stylesheet>"),
                     outputIn("broken.html"));
    EXPECT_FALSE(broken.run(open));
    EXPECT_EQ(notices(), std::vector<std::u16string>{templateFailure});
    EXPECT_FALSE(fs::exists(dir_ / "broken.html"));
    EXPECT_TRUE(opened.empty());
}

#ifdef _WIN32
// Wine's MSXML gives an empty result for a stylesheet that it cannot
// compile, where Microsoft's fails the transformation with an HRESULT.
bool underWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}
#endif

const char xslHead[] = "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">";

TEST_F(ReportJobTest, TransformationThatFailsWritesNothing)
{
    const ReportData d = determination();
    // An XPath expression that does not compile.
    ReportJob job(d.input(),
                  templates(std::string(xslHead) +
                            "<xsl:template match=\"/\"><xsl:value-of select=\"1 +\"/></xsl:template></xsl:stylesheet>"),
                  outputIn("stopped.html"));
    int mainWindow = 0;
    job.setNoticeOwner(NoticeOwner{&mainWindow});
    EXPECT_FALSE(job.makeReport());
    EXPECT_FALSE(job.sourceXml().empty());
    EXPECT_FALSE(fs::exists(dir_ / "stopped.html"));
    const std::vector<std::u16string> texts = notices();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(notices_.notices[0].owner, NoticeOwner{&mainWindow});
#ifdef _WIN32
    if (underWine()) {
        EXPECT_EQ(texts[0], u"Не удалось создать отчёт.\nFailed to load result document.");
    } else {
        // A COM error: message 175 with the negative HRESULT.
        EXPECT_TRUE(texts[0].starts_with(u"Ошибка -")) << utf16ToUtf8(texts[0]);
        EXPECT_NE(texts[0].find(u". Не удалось создать отчёт.\n"), std::u16string::npos) << utf16ToUtf8(texts[0]);
    }
#else
    EXPECT_TRUE(texts[0].starts_with(u"Не удалось создать отчёт.\nError transforming Source Document instance."))
        << utf16ToUtf8(texts[0]);
    EXPECT_NE(texts[0].find(u"1 +"), std::u16string::npos) << "libxslt's own account is kept";
#endif

    // A template that writes nothing gives no page either.
    notices_.notices.clear();
    ReportJob empty(d.input(), templates(std::string(xslHead) + "<xsl:template match=\"/\"/></xsl:stylesheet>"),
                    outputIn("empty.html"));
    EXPECT_FALSE(empty.makeReport());
    EXPECT_FALSE(fs::exists(dir_ / "empty.html"));
    EXPECT_EQ(notices(), std::vector<std::u16string>{u"Не удалось создать отчёт.\nFailed to load result document."});
}

TEST_F(ReportJobTest, PageThatCannotBeSavedIsAFailure)
{
    const ReportData d = determination();
    ReportJob job(d.input(), defaultTemplates(), outputIn("absent/report.html"));
    std::vector<std::u16string> opened;
    EXPECT_FALSE(job.run([&opened](const std::u16string& path) { opened.push_back(path); }));
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(fs::exists(dir_ / "absent"));
    const std::vector<std::u16string> texts = notices();
    ASSERT_EQ(texts.size(), 1u);
#ifdef _WIN32
    // MSXML's save fails with a COM error: message 175 with the HRESULT as a
    // signed number (Wine's is E_FAIL, 0x80004005) and the system's text.
    const std::u16string code = underWine() ? u"-2147467259" : u"-";
    EXPECT_TRUE(texts[0].starts_with(u"Ошибка " + code)) << utf16ToUtf8(texts[0]);
    const auto body = texts[0].find(u". Не удалось создать отчёт.\n");
    ASSERT_NE(body, std::u16string::npos) << utf16ToUtf8(texts[0]);
    EXPECT_GT(texts[0].size(), body + 28) << "the error's text follows";
#else
    EXPECT_EQ(texts[0], u"Не удалось создать отчёт.\nFailed to save result document.");
#endif
}

TEST_F(ReportJobTest, TwoReportsInARowAreTwoFilesInTheTemporaryFolderEachOpened)
{
    const ReportData d = determination();
    const std::u16string folder = defaultTemplates();
    std::vector<std::u16string> opened;
    const ReportOpener open = [&opened](const std::u16string& path) { opened.push_back(path); };

    ReportJob first(d.input(), folder);
    ASSERT_TRUE(first.run(open));
    keep(first.outputPath());
    ReportJob second(d.input(), folder);
    ASSERT_TRUE(second.run(open));
    keep(second.outputPath());

    EXPECT_NE(first.outputPath(), second.outputPath());
    EXPECT_EQ(opened, (std::vector<std::u16string>{first.outputPath(), second.outputPath()}));
    for (const std::u16string& path : opened) {
        const fs::path page(path);
        EXPECT_EQ(page.extension(), ".html");
        EXPECT_EQ(page.lexically_normal(), (fs::temp_directory_path() / page.filename()).lexically_normal());
        EXPECT_EQ(test::readPage(test::slurp(page)).results.size(), 3u);
    }
    EXPECT_TRUE(notices().empty());
}

TEST_F(ReportJobTest, TemplateFolderComesFromTheHost)
{
    LocalHost host;
    int mainWindow = 0;
    EXPECT_EQ(reportTemplateFolder(Host(host.table()), NoticeOwner{&mainWindow}), u"");
    EXPECT_EQ(notices(), std::vector<std::u16string>{u"Не найден сервис поиска шаблона"});
    // The main window's command owns the box.
    EXPECT_EQ(notices_.notices[0].owner, NoticeOwner{&mainWindow});

    notices_.notices.clear();
    std::u16string answer = u"D:\\Шаблоны";
    HostArg capacity = 0;
    host.offer(service::TemplatePath, [&](HostArg first, HostArg buffer) -> HostResult {
        capacity = first;
        std::copy(answer.begin(), answer.end(), reinterpret_cast<char16_t*>(buffer));
        return 0;
    });
    EXPECT_EQ(reportTemplateFolder(Host(host.table())), u"D:\\Шаблоны");
    EXPECT_EQ(capacity, 260);
    // A host that fills the whole buffer gives 260 characters, no more.
    answer.assign(300, u'x');
    host.offer(service::TemplatePath, [&](HostArg, HostArg buffer) -> HostResult {
        std::copy_n(answer.begin(), 260, reinterpret_cast<char16_t*>(buffer));
        return 0;
    });
    EXPECT_EQ(reportTemplateFolder(Host(host.table())), std::u16string(260, u'x'));
    EXPECT_TRUE(notices().empty());

    // The template lies in the module's sub-folder, however the folder ends.
#ifdef _WIN32
    EXPECT_EQ(reportTemplatePath(u"C:\\t\\"), u"C:\\t\\\\norvalt\\Report.xsl");
#else
    EXPECT_EQ(reportTemplatePath(u"/t"), u"/t/norvalt/Report.xsl");
#endif
}

#ifdef _WIN32
// Every CoInitialize of a job is matched by one CoUninitialize, whether the
// job succeeds or fails, and whether the thread had COM before or not.
TEST_F(ReportJobTest, ComIsLeftAsTheJobFoundIt)
{
    const ReportData d = determination();
    const std::u16string good = defaultTemplates();
    const std::u16string none = (dir_ / "none").u16string();
    for (const std::u16string& folder : {good, none}) {
        ReportJob job(d.input(), folder, outputIn("com.html"));
        job.makeReport();
        ASSERT_EQ(CoInitialize(nullptr), S_OK) << "the job left COM initialised";
        CoUninitialize();

        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ReportJob inside(d.input(), folder, outputIn("com.html"));
        inside.makeReport();
        EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "the job took the caller's COM away";
        CoUninitialize();
        CoUninitialize();
        ASSERT_EQ(CoInitialize(nullptr), S_OK) << "the job left COM initialised";
        CoUninitialize();
    }
}
#endif

} // namespace
} // namespace norvalt
