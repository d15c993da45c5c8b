#include "calc/components.h"

#include "text/unicode.h"

namespace norvalt {

namespace {

struct ComponentState {
    std::array<Component, componentCount> table{{
        {EthyleneGlycol, u"Этиленгликоль", {}, u"C2H6O2"},
        {DiethyleneGlycol, u"Диэтиленгликоль", {}, u"C4H10O3"},
        {TriethyleneGlycol, u"Триэтиленгликоль", {}, u"C6H14O4"},
        {Water, u"Вода", {}, u"H20"},  // digit zero: shown as the laboratory stored it
        {Nonanol1, u"Нонанол-1", {}, u"C9H20O"},
        {BenzylAlcohol, u"Бензиловый спирт", {}, u"C7H8O"},
        {UnidentifiedSubstance, u"Неизвестное вещ-во", {}, u""},
    }};
    // normalizeName of each alternative name, kept in step with the table:
    // every peak of every recalculation is matched against them.
    std::array<std::u16string, componentCount> normalizedAlt;
};

ComponentState& state()
{
    static ComponentState s;
    return s;
}

bool isMatchable(std::int32_t id)
{
    return id >= 0 && id < UnidentifiedSubstance;
}

bool isKept(char16_t unit)
{
    return !unicode::isWhiteSpace(unit) && unicode::isGraphic(unit);
}

// normalizeName(text) == normalized, without building the normalised text:
// every peak of every recalculation passes through here.
bool normalizesTo(std::u16string_view text, std::u16string_view normalized)
{
    std::size_t matched = 0;
    for (const char16_t unit : text) {
        if (!isKept(unit)) continue;
        if (matched == normalized.size() || unicode::lower(unit) != normalized[matched]) return false;
        ++matched;
    }
    return matched == normalized.size();
}

} // namespace

const std::array<Component, componentCount>& componentTable()
{
    return state().table;
}

bool setComponentAltName(std::int32_t id, std::u16string_view altName)
{
    if (!isMatchable(id)) return false;
    auto& s = state();
    s.table[id].altName = altName;
    s.normalizedAlt[id] = normalizeName(altName);
    return true;
}

std::u16string normalizeName(std::u16string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    for (const char16_t unit : text) {
        if (isKept(unit)) result.push_back(unicode::lower(unit));
    }
    return result;
}

std::int32_t componentOfName(std::u16string_view text)
{
    const auto& alt = state().normalizedAlt;
    for (std::int32_t id = 0; id < UnidentifiedSubstance; ++id) {
        if (!alt[id].empty() && normalizesTo(text, alt[id])) return id;
    }
    return UnidentifiedSubstance;
}

bool isComponentName(std::u16string_view text, std::int32_t id)
{
    if (!isMatchable(id)) return false;
    const auto& alt = state().normalizedAlt[id];
    return !alt.empty() && normalizesTo(text, alt);
}

const std::u16string& componentDisplayName(std::int32_t id)
{
    const auto& table = state().table;
    return table[isMatchable(id) ? id : UnidentifiedSubstance].name;
}

} // namespace norvalt
