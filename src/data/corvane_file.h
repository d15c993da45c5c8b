#pragma once
// The host's chromatogram file: a 16-byte header ("STG", format version,
// 4 reserved bytes, 64-bit offset of the XML part), one block per detector
// channel (32-byte block header and the raw sample words), and a UTF-8 XML
// part with the passport and the channels' peak tables. All integers are
// little-endian.
//
// The operations return 0 or a negative code and never throw for bad data.
//
// loadFromFile:   -1 cannot open (or the file's size cannot be found),
//                 -2 header shorter than 16 bytes, -3 bad magic,
//                 -4 version above 1, -5 a block header shorter than 32 bytes,
//                 -6 a sample count with a non-zero upper half or more samples
//                    counted than the file holds (checked before any memory
//                    is reserved for them),
//                 -7 the XML part cannot be read or is not well-formed.
// loadFromMemory: -1 bad magic, -2 version above 1, -3 XML not well-formed,
//                 and, because the image's counts are never trusted:
//                 -4 image shorter than the 16-byte header,
//                 -5 a block header runs past the end of the image,
//                 -6 a sample count with a non-zero upper half or more
//                    samples counted than the image holds.
// saveToFile:     -1 cannot open, -2 header not written, -5 block header not
//                 written, -6 fewer samples written than counted, -7 the file
//                 reports an error after the XML part (or on closing).
//
// Both loaders read blocks while the position is below the header's XML
// offset, so a file without channels (XML offset 16) loads; the XML part is
// parsed from where the last block ended. After a failed load the record
// keeps what was read before the failure: the version byte (once it passed
// its check), the channels whose blocks were read completely, and the
// passport as it was when the failure came before the XML part.
#include <cstdint>
#include <string>
#include <vector>

#include "model/channel.h"
#include "model/passport.h"

namespace pugi {
class xml_node;
}

namespace norvalt {

class CCorvaneFile4 {
public:
    CCorvaneFile4() = default;
    CCorvaneFile4(const CCorvaneFile4&) = default;
    CCorvaneFile4& operator=(const CCorvaneFile4&) = default;

    // The caller's buffer is only read; passport.path is left as it is.
    virtual int loadFromMemory(const void* data, std::uint64_t size);
    // On success passport.path becomes path.
    virtual int loadFromFile(const std::u16string& path);
    // Replaces the file's content; passport.path becomes path.
    virtual int saveToFile(const std::u16string& path);

    virtual ~CCorvaneFile4() = default;

    std::uint8_t version = 1;
    Passport passport;
    std::vector<Channel> channels;

private:
    void appendChannel(const unsigned char* blockHeader, std::vector<std::uint32_t>&& samples);
    void readDocument(const pugi::xml_node& document);
    void readPassport(const pugi::xml_node& passportNode);
    void readChannels(const pugi::xml_node& channelsNode);
    void writePassport(pugi::xml_node& passportNode) const;
    void writeChannels(pugi::xml_node& channelsNode) const;
};

} // namespace norvalt
