#include "calc/kinds.h"

#include <array>

#include "calc/components.h"
#include "text/format.h"
#include "text/path.h"
#include "text/string_table.h"

namespace norvalt {

const std::u16string& kindText(std::int32_t kind)
{
    static const std::array<std::u16string, 7> texts{
        loadString(IDS_KIND_GRAD1_NO_TEG),   loadString(IDS_KIND_GRAD1_WITH_TEG),
        loadString(IDS_KIND_ANALYSIS1),      loadString(IDS_KIND_GRAD2_NO_TEG),
        loadString(IDS_KIND_GRAD2_WITH_TEG), loadString(IDS_KIND_ANALYSIS2),
        loadString(IDS_KIND_UNDETERMINED),
    };
    return texts[kind >= 0 && kind < Undetermined ? kind : Undetermined];
}

namespace {

using Counts = std::array<int, componentCount>;

void addError(MessageList& messages, int id, std::u16string_view argument)
{
    messages.addMessage(MessageLevel::Error, format(loadString(id), argument));
}

} // namespace

void classifyChromatogram(Chromatogram& c, const std::vector<Mixture>& mixtures,
                          MessageList& messages)
{
    c.kind = Undetermined;
    c.column = unknownColumn;

    Counts p{};
    for (const auto& peak : c.peaks) ++p[componentOfName(peak.name)];

    const bool mixtureValid =
        c.mixtureIndex >= 0 && static_cast<std::size_t>(c.mixtureIndex) < mixtures.size();
    Counts m{};
    if (mixtureValid) {
        for (const auto& component : mixtures[c.mixtureIndex].components)
            ++m[componentOfName(component.name)];
    }

    if (p[EthyleneGlycol] != 1) return;

    if (!c.isCalibration) {
        if (c.mixtureIndex >= 0) {
            addError(messages, IDS_ERR_ANALYSIS_HAS_MIXTURE, fileNamePart(c.fileName));
            return;
        }
        // With both internal standards present, nonanol-1 decides: column 1.
        if (p[Nonanol1] == 1) {
            c.kind = AnalysisColumn1;
            c.column = column1;
        } else if (p[BenzylAlcohol] == 1) {
            c.kind = AnalysisColumn2;
            c.column = column2;
        }
        return;
    }

    if (!mixtureValid) {
        addError(messages, IDS_ERR_GRAD_NO_MIXTURE, fileNamePart(c.fileName));
        return;
    }

    // A component counts only when the chromatogram and its mixture agree.
    const auto match = [&](int k) { return p[k] == m[k] ? p[k] : 0; };

    if (match(DiethyleneGlycol) == 1 && m[EthyleneGlycol] == 1) {
        const int teg = match(TriethyleneGlycol);
        if (teg != 0 && teg != 1) return;
        if (match(Nonanol1) == 1) {
            c.kind = teg == 1 ? GradColumn1WithTeg : GradColumn1NoTeg;
            c.column = column1;
        } else if (match(BenzylAlcohol) == 1) {
            c.kind = teg == 1 ? GradColumn2WithTeg : GradColumn2NoTeg;
            c.column = column2;
        }
        return;
    }

    if (!(m[DiethyleneGlycol] == 1 && m[EthyleneGlycol] == 1))
        addError(messages, IDS_ERR_MIXTURE_NEEDS_EG_DEG, mixtures[c.mixtureIndex].name);
    if (p[DiethyleneGlycol] != 1)
        addError(messages, IDS_ERR_CHROM_NEEDS_EG_DEG, fileNamePart(c.fileName));
}

} // namespace norvalt
