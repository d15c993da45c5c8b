#include "calc/norms.h"

#include "calc/components.h"

namespace norvalt {

namespace {

std::map<std::int32_t, double>& norms()
{
    static std::map<std::int32_t, double> table{
        {EthyleneGlycol, 0.998},
        {DiethyleneGlycol, 0.0005},
    };
    return table;
}

} // namespace

const std::map<std::int32_t, double>& componentNorms()
{
    return norms();
}

double componentNorm(std::int32_t id)
{
    return norms()[id];
}

} // namespace norvalt
