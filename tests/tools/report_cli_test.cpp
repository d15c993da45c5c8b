#include <cstdio>
#include <cstring>

#include <nlohmann/json.hpp>

#include "../report/report_test_support.h"
#include "tool_run.h"

namespace norvalt {
namespace {

using ReportCliTest = test::ToolTest;
using test::ToolRun;

std::string fixed3(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", v);
    return buffer;
}

TEST_F(ReportCliTest, WritesThePageAndTheDocumentOfTheDetermination)
{
    ASSERT_EQ(run("sample-lab '" + path("lab") + "'").exitCode, 0);
    const std::string db = " --db '" + path("lab/lab.db") + "' --profile '" + path("profile") + "'";
    const ToolRun calc = run("calc" + db + " --all --select 9 --water 0.08 --json");
    ASSERT_EQ(calc.exitCode, 0) << calc.err;
    const auto json = nlohmann::json::parse(calc.out);

    const ToolRun report = run("report" + db + " --all --select 9 --templates '" + NORVALT_TEMPLATES + "' -o '" +
                               path("report.html") + "' --xml '" + path("report.xml") + "'");
    ASSERT_EQ(report.exitCode, 0) << report.err;
    EXPECT_EQ(report.out, path("report.html") + "\n");
    EXPECT_EQ(report.err, "");

    // The document as the transformation receives it: UTF-16LE, no mark.
    const std::string xml = slurp(path("report.xml"));
    ASSERT_GE(xml.size(), 10u);
    EXPECT_EQ(xml.substr(0, 10), std::string("<\0?\0x\0m\0l\0", 10));
    std::u16string document(xml.size() / 2, u'\0');
    std::memcpy(document.data(), xml.data(), document.size() * 2);

    // The page shows the document; its result rows are calc's, with the
    // water mass fraction kept in the profile by the calc run before.
    const test::PageTexts page = test::readPage(slurp(path("report.html")));
    EXPECT_EQ(page, test::expectedPage(document));
    EXPECT_EQ(page.files.size(), json["rows"].size());
    ASSERT_EQ(page.results.size(), json["results"].size());
    for (std::size_t i = 0; i < page.results.size(); ++i) {
        const auto& row = json["results"][i];
        EXPECT_EQ(page.results[i][1], row["name"].get<std::string>());
        EXPECT_EQ(page.results[i][3], fixed3(row["massFraction"].get<double>()));
        EXPECT_EQ(page.results[i][5], row["complies"].get<bool>() ? "Да" : "Нет");
    }
}

TEST_F(ReportCliTest, WithoutTemplatesTheHostHasNoServiceAndNoTemplate)
{
    ASSERT_EQ(run("sample-lab '" + path("lab") + "'").exitCode, 0);
    const ToolRun report = run("report --db '" + path("lab/lab.db") + "' --profile '" + path("profile") +
                               "' --all -o '" + path("report.html") + "' --xml '" + path("report.xml") + "'");
    EXPECT_EQ(report.exitCode, 1);
    EXPECT_EQ(report.out, "");
    EXPECT_NE(report.err.find("Не найден сервис поиска шаблона"), std::string::npos) << report.err;
    EXPECT_NE(report.err.find("Не удалось загрузить шаблон отчёта.\nError parsing XSLT Document instance."),
              std::string::npos)
        << report.err;
    // The job stopped before the document was built.
    EXPECT_FALSE(std::filesystem::exists(path("report.html")));
    EXPECT_FALSE(std::filesystem::exists(path("report.xml")));

    EXPECT_EQ(run("report --all").exitCode, 2);
    EXPECT_EQ(run("report --db '" + path("none.db") + "' --all").exitCode, 3);
}

} // namespace
} // namespace norvalt
