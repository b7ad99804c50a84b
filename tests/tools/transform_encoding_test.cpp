// The bytes the patch builder writes: stream names as real packages hold them, transform rows
// and string pools as the installer reads them, column types as _Columns stores them, and
// the summary property set.
#include "database_model.h"
#include "summary_stream.h"
#include "transform_streams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace patch_builder {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

std::uint32_t Read32(const std::string& data, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(data[offset + i]);
    }
    return value;
}

const Stream& StreamNamed(const std::vector<Stream>& streams, const std::u16string& name) {
    for (const Stream& stream : streams) {
        if (stream.name == name) {
            return stream;
        }
    }
    throw std::runtime_error("no such stream");
}

TEST(StreamNameTest, MatchesTheNamesInAPackageMadeByWixl) {
    // Read from the directory of a wixl-built product package.
    EXPECT_EQ(EncodeStreamName("File", true), (std::u16string{0x4840, 0x430F, 0x422F}));
    EXPECT_EQ(EncodeStreamName("_StringData", true),
              (std::u16string{0x4840, 0x3F3F, 0x4577, 0x446C, 0x3B6A, 0x45E4, 0x4824}));
    EXPECT_EQ(EncodeStreamName("_StringPool", true),
              (std::u16string{0x4840, 0x3F3F, 0x4577, 0x446C, 0x3E6A, 0x44B2, 0x482F}));
    EXPECT_EQ(EncodeStreamName("product.cab", false),
              (std::u16string{0x4573, 0x41F2, 0x41B8, 0x47B7, 0x4126, 0x4825}));
}

TEST(StreamNameTest, KeepsOtherCharactersAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(EncodeStreamName("a-b", false), (std::u16string{0x4800 + 36, u'-', 0x4800 + 37}));
    EXPECT_THROW(EncodeStreamName("\x95\x5C", false), std::runtime_error);
    EXPECT_NO_THROW(EncodeStreamName(std::string(60, 'a'), true)); // 30 pairs and the prefix
    EXPECT_THROW(EncodeStreamName(std::string(62, 'a'), true), std::runtime_error);
}

TEST(ColumnTypeTest, TypesAreTheValuesOfTheColumnsCatalogue) {
    EXPECT_EQ(ParseColumn("File", "s72", true).type, 0x2D48);
    EXPECT_EQ(ParseColumn("Version", "S72", false).type, 0x1D48);
    EXPECT_EQ(ParseColumn("FileName", "l255", false).type, 0x0FFF);
    EXPECT_EQ(ParseColumn("Value", "L0", false).type, 0x1F00);
    EXPECT_EQ(ParseColumn("Attributes", "I2", false).type, 0x1502);
    EXPECT_EQ(ParseColumn("DiskId", "i2", true).type, 0x2502);
    EXPECT_EQ(ParseColumn("FileSize", "i4", false).type, 0x0104);
    EXPECT_EQ(ParseColumn("Data", "v0", false).type, 0x0900);
    EXPECT_EQ(ParseColumn("Data", "V0", false).kind, ColumnKind::Binary);
    EXPECT_THROW(ParseColumn("Odd", "i3", false), std::runtime_error);
    EXPECT_THROW(ParseColumn("Odd", "x4", false), std::runtime_error);
    EXPECT_THROW(ParseColumn("Odd", "s", false), std::runtime_error);
}

class TransformEncodingTest : public ::testing::Test {
protected:
    TableTransform files{"File",
                         {ParseColumn("File", "s72", true), ParseColumn("FileSize", "i4", false),
                          ParseColumn("Version", "S72", false),
                          ParseColumn("Attributes", "I2", false)},
                         {}};
};

TEST_F(TransformEncodingTest, RowsCarryTheirMaskKeysAndTheColumnsTheMaskNames) {
    // A whole row, a change of size and attributes, and a deletion.
    files.rows.push_back(
        {0x0401, {Field::Text("A"), Field::Number(5), Field::Null(), Field::Number(512)}});
    files.rows.push_back(
        {0x000A, {Field::Text("B"), Field::Number(-1), Field::Text("6.0"), Field::Number(0)}});
    files.rows.push_back({0, {Field::Text("A"), Field::Null(), Field::Null(), Field::Null()}});
    const std::vector<Stream> streams = EncodeTransform({{files}}, 932);

    // Strings by first use: File (the table's name) 1, A 2, B 3.
    EXPECT_EQ(
        StreamNamed(streams, EncodeStreamName("File", true)).data,
        Bytes({0x01, 0x04, 2, 0, 5,    0,    0,    0x80, 0,    0,    0x00, 0x82, // A, 5, null, 512
               0x0A, 0x00, 3, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80,             // B, -1, 0
               0x00, 0x00, 2, 0}));                                              // delete A
    // Code page 932, then length and use count of each string.
    EXPECT_EQ(StreamNamed(streams, EncodeStreamName("_StringPool", true)).data,
              Bytes({0xA4, 0x03, 0, 0, 4, 0, 1, 0, 1, 0, 2, 0, 1, 0, 1, 0}));
    EXPECT_EQ(StreamNamed(streams, EncodeStreamName("_StringData", true)).data, "FileAB");
}

TEST_F(TransformEncodingTest, StringsKeepTheirCodePageBytesAndNullsAreZero) {
    files.rows.push_back(
        {0x0004, {Field::Text("\x95\x5C"), Field::Null(), Field::Text(""), Field::Null()}});
    const std::vector<Stream> streams = EncodeTransform({{files}}, 0);
    EXPECT_EQ(StreamNamed(streams, EncodeStreamName("File", true)).data,
              Bytes({0x04, 0x00, 2, 0, 0, 0}));
    EXPECT_EQ(StreamNamed(streams, EncodeStreamName("_StringData", true)).data, "File\x95\x5C");
}

TEST_F(TransformEncodingTest, BinaryFieldsTravelAsStreamsNamedByTheRowKeys) {
    TableTransform binary{"Binary",
                          {ParseColumn("Name", "s72", true), ParseColumn("Data", "v0", false)},
                          {{0x0201, {Field::Text("Logo"), Field::Text("PNG bytes")}}}};
    const std::vector<Stream> streams = EncodeTransform({{binary}}, 0);
    EXPECT_EQ(StreamNamed(streams, EncodeStreamName("Binary.Logo", false)).data, "PNG bytes");
    EXPECT_EQ(StreamNamed(streams, EncodeStreamName("Binary", true)).data,
              Bytes({0x01, 0x02, 2, 0, 0, 0}));
}

TEST(SummaryStreamTest, OneSectionOfTypedPropertiesAtTheirOffsets) {
    const std::string stream =
        SummaryStream({SummaryProperty::Short(summary_id::kCodepage, 932),
                       SummaryProperty::Text(summary_id::kTemplate, "Intel;1041"),
                       SummaryProperty::Long(summary_id::kCharacterCount, 0x08020002)});
    EXPECT_EQ(stream.substr(0, 4), Bytes({0xFE, 0xFF, 0, 0}));
    EXPECT_EQ(Read32(stream, 24), 1u);                                // sections
    EXPECT_EQ(stream.substr(28, 4), Bytes({0xE0, 0x85, 0x9F, 0xF2})); // summary format id
    const std::uint32_t section = Read32(stream, 44);
    EXPECT_EQ(Read32(stream, section), stream.size() - section); // section size
    EXPECT_EQ(Read32(stream, section + 4), 3u);                  // properties
    const std::uint32_t codepage = section + Read32(stream, section + 12);
    EXPECT_EQ(Read32(stream, codepage), 2u); // VT_I2
    EXPECT_EQ(Read32(stream, codepage + 4), 932u);
    const std::uint32_t text = section + Read32(stream, section + 20);
    EXPECT_EQ(Read32(stream, text), 30u); // VT_LPSTR
    EXPECT_EQ(Read32(stream, text + 4), 11u);
    EXPECT_EQ(stream.substr(text + 8, 11), std::string("Intel;1041", 11));
    const std::uint32_t flags = section + Read32(stream, section + 28);
    EXPECT_EQ(flags % 4, 0u);             // the string before it is padded
    EXPECT_EQ(Read32(stream, flags), 3u); // VT_I4
    EXPECT_EQ(Read32(stream, flags + 4), 0x08020002u);
}

} // namespace
} // namespace patch_builder
