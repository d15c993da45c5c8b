#pragma once
// The seven substances that the calculation knows, and the recognition of a
// peak (or mixture component) name as one of them through the alternative
// names that the laboratory's chromatograms use.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace norvalt {

enum ComponentId : std::int32_t {
    EthyleneGlycol = 0,
    DiethyleneGlycol = 1,
    TriethyleneGlycol = 2,
    Water = 3,
    Nonanol1 = 4,           // internal standard on column 1
    BenzylAlcohol = 5,      // internal standard on column 2
    UnidentifiedSubstance = 6,
};

inline constexpr std::int32_t componentCount = 7;

struct Component {
    std::int32_t id = 0;
    std::u16string name;     // fixed display name
    std::u16string altName;  // peak name used in chromatograms; empty until set
    std::u16string formula;
};

// The process-wide table, indexed by id. Only the alternative names of ids
// 0..5 change, through setComponentAltName.
const std::array<Component, componentCount>& componentTable();

// Sets the alternative name of ids 0..5; any other id is refused (false).
bool setComponentAltName(std::int32_t id, std::u16string_view altName);

// White space dropped, graphic units lower-cased, everything else dropped.
// Locale-independent: the classes and the lower-casing come from the
// module's Unicode tables, so Cyrillic capitals are lowered on any host.
std::u16string normalizeName(std::u16string_view text);

// The first of ids 0..5 whose normalised alternative name equals the
// normalised text, or UnidentifiedSubstance. An alternative name that
// normalises to nothing matches no peak, so unnamed peaks stay unknown.
std::int32_t componentOfName(std::u16string_view text);

// True when id is 0..5 and the text normalises to that id's alternative name.
bool isComponentName(std::u16string_view text, std::int32_t id);

// The fixed name of id, or that of UnidentifiedSubstance for any other id.
const std::u16string& componentDisplayName(std::int32_t id);

} // namespace norvalt
