#pragma once
// The report's XML document: everything the report shows (the chromatograms
// of the set, the result rows of the selected analysed chromatogram and the
// messages), as attributes that the XSLT template turns into a page.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "calc/calculator.h"
#include "calc/chromatogram_map.h"
#include "calc/message_list.h"
#include "model/mixture.h"

namespace norvalt {

class ChromatogramSet;

// What a report is made of. The references must outlive the report job;
// the component values are the job's own copy.
struct ReportInput {
    const ChromatogramMap& chromatograms;
    const std::vector<Mixture>& mixtures;
    const std::vector<ComponentResult>& results;  // the calculator's selectedResults
    std::map<std::u16string, double> componentValues;  // peak name -> mean coefficient
    const MessageList& messages;

    // The set's chromatograms, mixtures, results and a copy of its
    // component values, with the main window's message list.
    static ReportInput of(const ChromatogramSet& set, const MessageList& messages);
};

// The version that the report names.
inline constexpr char16_t reportProgramVersion[] = u" 1.0.1.0";

// The document as UTF-16 text beginning with its declaration
// (encoding "UTF-16LE"), without indentation or line breaks.
// `createdAt` is the time of building, in seconds since 1970-01-01 UTC.
std::u16string buildReportDocument(const ReportInput& input, std::int64_t createdAt);
std::u16string buildReportDocument(const ReportInput& input);

// Local calendar time as the user's short date and default time format,
// "<date> <time>". Windows: GetDateFormatW and GetTimeFormatW with the
// user's default locale. Elsewhere: the C++ library's "%x" and "%X" in the
// locale that the environment names (LC_ALL, LC_TIME, LANG), or ISO 8601
// "YYYY-MM-DD HH:MM:SS" when that is the C locale or is not installed; the
// process's C locale is not consulted.
// Empty for a time before 1970 or one that local time cannot represent.
std::u16string formatLocalDateTime(std::int64_t secondsSince1970);

} // namespace norvalt
