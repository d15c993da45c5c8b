#pragma once
// The pugixml writer that collects a document serialised as UTF-16 in a
// wide string, which is what the XSLT processor is handed.
#include <cstddef>
#include <string>

#include <pugixml.hpp>

namespace norvalt {

class xml_writer_source : public pugi::xml_writer {
public:
    // Appends to `target`, which must outlive the writer. `maxLength` bounds
    // the text, as the length of a COM string is bounded.
    explicit xml_writer_source(std::u16string& target, std::size_t maxLength = std::u16string().max_size())
        : target_(target), maxLength_(maxLength)
    {
    }

    // Appends size / 2 UTF-16 code units read from data. A call that cannot
    // be appended whole (length bound, no memory) is dropped whole, so the
    // text never ends in the middle of a piece that pugixml wrote.
    void write(const void* data, std::size_t size) override;

private:
    std::u16string& target_;
    std::size_t maxLength_;
};

} // namespace norvalt
