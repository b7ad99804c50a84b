// What the patch builder finds between two packages, and where it puts the patch's files.
#include "patch_layout.h"
#include "table_diff.h"

#include <gtest/gtest.h>

namespace patch_builder {
namespace {

Table FileTable(std::vector<Row> rows) {
    return {"File",
            {ParseColumn("File", "s72", true), ParseColumn("FileName", "l255", false),
             ParseColumn("FileSize", "i4", false), ParseColumn("Attributes", "I2", false),
             ParseColumn("Sequence", "i4", false)},
            std::move(rows)};
}

Row File(const char* key, int size, int sequence) {
    return {Field::Text(key), Field::Text(std::string(key) + ".exe"), Field::Number(size),
            Field::Number(512), Field::Number(sequence)};
}

Table MediaTable() {
    return {"Media",
            {ParseColumn("DiskId", "i2", true), ParseColumn("LastSequence", "i4", false),
             ParseColumn("DiskPrompt", "L64", false), ParseColumn("Cabinet", "S255", false),
             ParseColumn("VolumeLabel", "S32", false), ParseColumn("Source", "S72", false)},
            {{Field::Number(1), Field::Number(3), Field::Null(), Field::Text("#product.cab"),
              Field::Null(), Field::Null()}}};
}

Table HashTable(std::vector<std::pair<const char*, int>> hashes) {
    Table table{"MsiFileHash",
                {ParseColumn("File_", "s72", true), ParseColumn("HashPart1", "i4", false)},
                {}};
    for (auto [key, hash] : hashes) {
        table.rows.push_back({Field::Text(key), Field::Number(hash)});
    }
    return table;
}

TEST(TableDiffTest, ChangedInsertedAndRemovedRows) {
    const Database from{{FileTable({File("A", 1, 1), File("B", 2, 2), File("C", 3, 3)})}};
    Database to{{FileTable({File("A", 1, 1), File("B", 20, 2), File("D", 4, 4)})}};
    to.tables[0].rows[1][3] = Field::Null(); // B's attributes too

    const Transform transform = Diff(from, to);
    ASSERT_EQ(transform.tables.size(), 1u);
    const std::vector<TransformRow>& rows = transform.tables[0].rows;
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].mask, (1 << 2) | (1 << 3)); // B: size and attributes
    EXPECT_EQ(rows[0].fields[2], Field::Number(20));
    EXPECT_EQ(rows[0].fields[3], Field::Null());
    EXPECT_EQ(rows[1].mask, 0x0501); // D whole
    EXPECT_EQ(rows[1].fields, File("D", 4, 4));
    EXPECT_EQ(rows[2].mask, 0); // C deleted: only its key
    EXPECT_EQ(rows[2].fields,
              (Row{Field::Text("C"), Field::Null(), Field::Null(), Field::Null(), Field::Null()}));
}

TEST(TableDiffTest, EqualDatabasesGiveAnEmptyTransform) {
    const Database same{{FileTable({File("A", 1, 1)}), MediaTable()}};
    EXPECT_TRUE(Diff(same, same).tables.empty());
}

TEST(TableDiffTest, ANewTableComesWithItsCatalogueRowsFirst) {
    const Database from{{FileTable({})}};
    Database to = from;
    to.tables.push_back(HashTable({{"A", 7}}));

    const Transform transform = Diff(from, to);
    ASSERT_EQ(transform.tables.size(), 3u);
    EXPECT_EQ(transform.tables[0].table, "_Tables");
    EXPECT_EQ(transform.tables[0].rows[0].fields, Row{Field::Text("MsiFileHash")});
    EXPECT_EQ(transform.tables[1].table, "_Columns");
    ASSERT_EQ(transform.tables[1].rows.size(), 2u);
    EXPECT_EQ(transform.tables[1].rows[1].fields,
              (Row{Field::Text("MsiFileHash"), Field::Number(2), Field::Text("HashPart1"),
                   Field::Number(0x0104)}));
    EXPECT_EQ(transform.tables[2].table, "MsiFileHash");
    EXPECT_EQ(transform.tables[2].rows[0].mask, 0x0201);
}

TEST(TableDiffTest, ADroppedTableIsDeletedFromTheCatalogue) {
    const Database from{{FileTable({}), HashTable({})}};
    const Database to{{FileTable({})}};
    const Transform transform = Diff(from, to);
    ASSERT_EQ(transform.tables.size(), 1u);
    EXPECT_EQ(transform.tables[0].table, "_Tables");
    EXPECT_EQ(transform.tables[0].rows[0].mask, 0);
}

TEST(TableDiffTest, ChangedColumnsAreRefused) {
    const Database from{{HashTable({})}};
    Database to = from;
    to.tables[0].columns[1] = ParseColumn("HashPart1", "I4", false);
    EXPECT_THROW(Diff(from, to), std::runtime_error);
}

TEST(TableDiffTest, AChangeBeyondTheMaskOrInTheFirstColumnSendsTheWholeRow) {
    Table wide{"Wide", {ParseColumn("Key", "s72", true)}, {}};
    for (int i = 1; i < 18; ++i) {
        wide.columns.push_back(ParseColumn("C" + std::to_string(i), "I4", false));
    }
    Row row(18, Field::Number(0));
    row[0] = Field::Text("k");
    wide.rows.push_back(row);
    const Database from{{wide}};
    Database to = from;
    to.tables[0].rows[0][17] = Field::Number(1);
    EXPECT_EQ(Diff(from, to).tables[0].rows[0].mask, (18 << 8) | 1);

    Table keyLast{"KeyLast",
                  {ParseColumn("Value", "S72", false), ParseColumn("Key", "s72", true)},
                  {{Field::Text("old"), Field::Text("k")}}};
    const Database before{{keyLast}};
    Database after = before;
    after.tables[0].rows[0][0] = Field::Text("new");
    EXPECT_EQ(Diff(before, after).tables[0].rows[0].mask, (2 << 8) | 1);
}

TEST(PatchLayoutTest, ChangedFilesAreThoseOfChangedFileOrHashRowsInSequenceOrder) {
    const Database from{{FileTable({File("A", 1, 1), File("B", 2, 2), File("C", 3, 3)}),
                         HashTable({{"A", 1}, {"B", 2}, {"C", 3}})}};
    const Database to{{FileTable({File("A", 1, 1), File("B", 2, 2), File("C", 30, 3)}),
                       HashTable({{"A", 10}, {"B", 2}, {"C", 30}})}};
    EXPECT_EQ(ChangedFiles(Diff(from, to), to), (std::vector<std::string>{"A", "C"}));
}

TEST(PatchLayoutTest, PatchFilesFollowEveryExistingSequenceOnANewMedium) {
    const Database upgraded{
        {FileTable({File("A", 1, 1), File("B", 2, 2), File("C", 3, 3)}), MediaTable()}};
    const Database patched = PatchedDatabase(upgraded, {"A", "C"}, "{PATCH}", "PatchFiles.cab");

    const Table& files = *patched.Find("File");
    EXPECT_EQ(files.rows[0][3], Field::Number(512 | kFilePatchAdded));
    EXPECT_EQ(files.rows[0][4], Field::Number(4));
    EXPECT_EQ(files.rows[1], File("B", 2, 2));
    EXPECT_EQ(files.rows[2][4], Field::Number(5));
    const Table& media = *patched.Find("Media");
    ASSERT_EQ(media.rows.size(), 2u);
    EXPECT_EQ(media.rows[1], (Row{Field::Number(2), Field::Number(5), Field::Null(),
                                  Field::Text("#PatchFiles.cab"), Field::Null(),
                                  Field::Text("PATCHMediaSrcProp")}));
    const Table* patchPackage = patched.Find("PatchPackage");
    ASSERT_NE(patchPackage, nullptr);
    EXPECT_EQ(patchPackage->rows, (std::vector<Row>{{Field::Text("{PATCH}"), Field::Number(2)}}));

    // What the second transform carries: two file changes, the medium, the new table.
    const Transform layout = Diff(upgraded, patched);
    ASSERT_NE(FindTable(layout, "File"), nullptr);
    EXPECT_EQ(FindTable(layout, "File")->rows[0].mask, (1 << 3) | (1 << 4));
    EXPECT_EQ(FindTable(layout, "Media")->rows.size(), 1u);
    EXPECT_EQ(FindTable(layout, "_Tables")->rows[0].fields, Row{Field::Text("PatchPackage")});
}

TEST(PatchLayoutTest, APatchWithoutFilesAddsNoMedium) {
    const Database upgraded{{FileTable({File("A", 1, 1)}), MediaTable()}};
    EXPECT_TRUE(Diff(upgraded, PatchedDatabase(upgraded, {}, "{PATCH}", "x.cab")).tables.empty());
}

TEST(PatchLayoutTest, APackageWithoutMediaIsRefused) {
    const Database upgraded{{FileTable({File("A", 1, 1)})}};
    EXPECT_THROW(PatchedDatabase(upgraded, {"A"}, "{PATCH}", "x.cab"), std::runtime_error);
}

} // namespace
} // namespace patch_builder
