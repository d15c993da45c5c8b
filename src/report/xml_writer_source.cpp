#include "report/xml_writer_source.h"

#include <cstring>
#include <new>
#include <stdexcept>

namespace norvalt {

void xml_writer_source::write(const void* data, std::size_t size)
{
    const std::size_t units = size / sizeof(char16_t);
    if (data == nullptr || units == 0) return;
    if (units > maxLength_ || target_.size() > maxLength_ - units) return;
    try {
        const std::size_t at = target_.size();
        target_.resize(at + units);
        // The bytes need not be aligned for char16_t.
        std::memcpy(target_.data() + at, data, units * sizeof(char16_t));
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

} // namespace norvalt
