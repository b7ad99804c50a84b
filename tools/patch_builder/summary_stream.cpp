#include "summary_stream.h"

namespace patch_builder {

namespace {

constexpr std::uint32_t kTypeShort = 2;   // VT_I2
constexpr std::uint32_t kTypeLong = 3;    // VT_I4
constexpr std::uint32_t kTypeString = 30; // VT_LPSTR
// {F29F85E0-4FF9-1068-AB91-08002B27B3D9}, as stored (little-endian fields first).
constexpr unsigned char kSummaryFormatId[16] = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                                0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
constexpr std::uint32_t kHeaderSize = 28 + 20; // set header, then one format id with its offset

void Put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void PutAt(std::string& out, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::string Value(const SummaryProperty& property) {
    std::string value;
    switch (property.kind) {
    case SummaryProperty::Kind::Short:
        Put(value, kTypeShort, 4);
        Put(value, static_cast<std::uint16_t>(property.number), 2);
        Put(value, 0, 2);
        break;
    case SummaryProperty::Kind::Long:
        Put(value, kTypeLong, 4);
        Put(value, static_cast<std::uint32_t>(property.number), 4);
        break;
    case SummaryProperty::Kind::Text:
        Put(value, kTypeString, 4);
        Put(value, static_cast<std::uint32_t>(property.text.size() + 1), 4);
        value += property.text;
        value.push_back('\0');
        while (value.size() % 4 != 0) {
            value.push_back('\0');
        }
        break;
    }
    return value;
}

} // namespace

std::u16string SummaryStreamName() {
    return u"\x0005SummaryInformation";
}

std::string SummaryStream(const std::vector<SummaryProperty>& properties) {
    std::string stream;
    Put(stream, 0xFFFE, 2);     // byte order
    Put(stream, 0, 2);          // format version
    Put(stream, 0x00020006, 4); // written on Windows NT 6.2
    stream.append(16, '\0');    // class id
    Put(stream, 1, 4);          // one section
    stream.append(reinterpret_cast<const char*>(kSummaryFormatId), sizeof kSummaryFormatId);
    Put(stream, kHeaderSize, 4);

    std::string section;
    Put(section, 0, 4); // size, filled in below
    Put(section, static_cast<std::uint32_t>(properties.size()), 4);
    const std::size_t table = section.size();
    section.append(properties.size() * 8, '\0');
    for (std::size_t i = 0; i < properties.size(); ++i) {
        PutAt(section, table + i * 8, properties[i].id);
        PutAt(section, table + i * 8 + 4, static_cast<std::uint32_t>(section.size()));
        section += Value(properties[i]);
    }
    PutAt(section, 0, static_cast<std::uint32_t>(section.size()));
    return stream + section;
}

} // namespace patch_builder
