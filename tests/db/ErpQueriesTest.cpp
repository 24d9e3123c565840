#include "tests/db/TraceabilityFixture.h"

using namespace Qt::StringLiterals;
using ErpQueriesTest = TraceabilityFixture;

TEST_F(ErpQueriesTest, CountsComeFromTheHighestOrLowestVariation) {
    // The high variation of T-BOM-1 is inserted first, so that key order does not give the answer.
    ExecTestSql(
        u"INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, SerialNumberCount, "
        "ProductionCodeCount, ExtSerialNumberCount, TestRequired) VALUES ('T-BOM-1', 2, 2, 3, 1, -1), "
        "('T-BOM-1', 1, 1, 2, 0, 0), ('T-BOM-2', 1, 0, 1, 0, 1), ('T-BOM-3', 1, 0, 1, 0, NULL), "
        "('T-BOM-4', 1, NULL, 1, 0, 0)"_s);
    EXPECT_EQ(db_.GetSerNrCountFromBillOfMat(u"T-BOM-1"_s), 2);
    EXPECT_EQ(db_.GetProdCodeCountFromBillOfMat(u"T-BOM-1"_s), 2);
    EXPECT_EQ(db_.GetExtSerCountFromBillOfMat(u"T-BOM-1"_s), 0);
    // Only -1 asks for a test.
    EXPECT_TRUE(db_.GetTestReqiredFromBillOfMat(u"T-BOM-1"_s));
    EXPECT_FALSE(db_.GetTestReqiredFromBillOfMat(u"T-BOM-2"_s));
    EXPECT_FALSE(db_.GetTestReqiredFromBillOfMat(u"T-BOM-3"_s));

    // An article without rows, and one whose name only starts like a known one
    for (const QString& unknown : {u"T-BOM-9"_s, u"T-BOM"_s}) {
        EXPECT_EQ(db_.GetSerNrCountFromBillOfMat(unknown), 0);
        EXPECT_EQ(db_.GetProdCodeCountFromBillOfMat(unknown), 0);
        EXPECT_EQ(db_.GetExtSerCountFromBillOfMat(unknown), 0);
        EXPECT_FALSE(db_.GetTestReqiredFromBillOfMat(unknown));
    }
    // A missing count in the ERP copy is an error for the caller, not a zero.
    EXPECT_THROW(db_.GetSerNrCountFromBillOfMat(u"T-BOM-4"_s), VelkorError);
    EXPECT_EQ(db_.GetProdCodeCountFromBillOfMat(u"T-BOM-4"_s), 1);
}

TEST_F(ErpQueriesTest, ConversionHistoryOfASerialNumber) {
    ExecTestSql(
        u"INSERT INTO serialnumber_prod_history_khk (Serialnumber, ProductionOrdernumber, Articlenumber_PE, "
        "Articlenumber_PZ) VALUES ('T-SER-H1', 'PA0123456', 'T-FROM', 'T-TO'), "
        "('T-SER-H2', '4711', 'T-FROM', 'T-TO'), ('T-SER-H3', 'PA0999999', 'T-FROM', '')"_s);
    const QString from = u"T-FROM"_s, to = u"T-TO"_s;
    EXPECT_EQ(db_.GetSerNrBackfitHistoryPaKHK(u"T-SER-H1"_s, from, to), u"123456"_s);
    EXPECT_EQ(db_.GetSerNrBackfitHistoryPaKHK(u"T-SER-H2"_s, from, to), u"4711"_s);
    EXPECT_TRUE(db_.IsSerNrBackfitHistoryInKHK(u"T-SER-H1"_s, from, to));
    // Every one of the three values must match; a conversion without target article is none.
    EXPECT_EQ(db_.GetSerNrBackfitHistoryPaKHK(u"T-SER-H1"_s, to, from), QString());
    EXPECT_FALSE(db_.IsSerNrBackfitHistoryInKHK(u"T-SER-H1"_s, from, u"T-OTHER"_s));
    EXPECT_FALSE(db_.IsSerNrBackfitHistoryInKHK(u"T-SER-H9"_s, from, to));
    EXPECT_FALSE(db_.IsSerNrBackfitHistoryInKHK(u"T-SER-H3"_s, from, QString()));

    // The same conversion under several orders is named by the earliest order; one without an order comes last.
    ExecTestSql(
        u"INSERT INTO serialnumber_prod_history_khk (Serialnumber, ProductionOrdernumber, Articlenumber_PE, "
        "Articlenumber_PZ) VALUES ('T-SER-H4', NULL, 'T-FROM', 'T-TO'), ('T-SER-H4', '000240200', 'T-FROM', 'T-TO'), "
        "('T-SER-H4', '000240100', 'T-FROM', 'T-TO'), ('T-SER-H5', NULL, 'T-FROM', 'T-TO')"_s);
    EXPECT_EQ(db_.GetSerNrBackfitHistoryPaKHK(u"T-SER-H4"_s, from, to), u"240100"_s);
    EXPECT_EQ(db_.GetSerNrBackfitHistoryPaKHK(u"T-SER-H5"_s, from, to), QString());
    EXPECT_TRUE(db_.IsSerNrBackfitHistoryInKHK(u"T-SER-H5"_s, from, to));
}

TEST_F(ErpQueriesTest, ProductionOrderArticleAndDescription) {
    ExecTestSql(
        u"INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) "
        "VALUES ('T-900030', 'T-ART_X-01', 'T Gerät X')"_s);
    EXPECT_EQ(db_.GetArtNrFromPaNrKHK(u"T-900030"_s), u"T-ART_X-01"_s);
    EXPECT_EQ(db_.GetArtNrFromPaNrKHK(u"T-900039"_s), QString());
    EXPECT_EQ(db_.GetProdDescriptionFromArtNrKHK(u"T-ART_X"_s), u"T Gerät X"_s);
    // "_" in an article number is a character, not a wildcard.
    EXPECT_EQ(db_.GetProdDescriptionFromArtNrKHK(u"T-ART_Y"_s), QString());
    EXPECT_EQ(db_.GetProdDescriptionFromArtNrKHK(u"T-ARTX"_s), QString());
}
