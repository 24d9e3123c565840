#include "tests/db/TraceabilityFixture.h"

namespace {

class ErpQueriesTest : public TraceabilityFixture {
protected:
    static void AddBillOfMat(const QString& artNr, int variation, const QVariant& serials, const QVariant& codes,
                             const QVariant& extSerials, const QVariant& testRequired) {
        ExecTestSql(
            QStringLiteral("INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, SerialNumberCount, "
                           "ProductionCodeCount, ExtSerialNumberCount, TestRequired) VALUES (?, ?, ?, ?, ?, ?)"),
            {artNr, variation, serials, codes, extSerials, testRequired});
    }

    static void AddHistory(const QString& serNr, const QString& order, const QString& from, const QString& to) {
        ExecTestSql(QStringLiteral("INSERT INTO serialnumber_prod_history_khk (Serialnumber, ProductionOrdernumber, "
                                   "Articlenumber_PE, Articlenumber_PZ) VALUES (?, ?, ?, ?)"),
                    {serNr, order, from, to});
    }
};

}  // namespace

TEST_F(ErpQueriesTest, CountsComeFromTheHighestOrLowestVariation) {
    // Inserted high variation first, so that key order does not give the answer.
    AddBillOfMat(QStringLiteral("T-BOM-1"), 2, 2, 3, 1, -1);
    AddBillOfMat(QStringLiteral("T-BOM-1"), 1, 1, 2, 0, 0);
    EXPECT_EQ(db_.GetSerNrCountFromBillOfMat(QStringLiteral("T-BOM-1")), 2);
    EXPECT_EQ(db_.GetProdCodeCountFromBillOfMat(QStringLiteral("T-BOM-1")), 2);
    EXPECT_EQ(db_.GetExtSerCountFromBillOfMat(QStringLiteral("T-BOM-1")), 0);
    EXPECT_TRUE(db_.GetTestReqiredFromBillOfMat(QStringLiteral("T-BOM-1")));

    // Only -1 asks for a test.
    AddBillOfMat(QStringLiteral("T-BOM-2"), 1, 0, 1, 0, 1);
    EXPECT_FALSE(db_.GetTestReqiredFromBillOfMat(QStringLiteral("T-BOM-2")));
    AddBillOfMat(QStringLiteral("T-BOM-3"), 1, 0, 1, 0, QVariant(QMetaType::fromType<int>()));
    EXPECT_FALSE(db_.GetTestReqiredFromBillOfMat(QStringLiteral("T-BOM-3")));

    // An article without rows, and one whose name only starts like a known one
    for (const QString& unknown : {QStringLiteral("T-BOM-9"), QStringLiteral("T-BOM")}) {
        EXPECT_EQ(db_.GetSerNrCountFromBillOfMat(unknown), 0);
        EXPECT_EQ(db_.GetProdCodeCountFromBillOfMat(unknown), 0);
        EXPECT_EQ(db_.GetExtSerCountFromBillOfMat(unknown), 0);
        EXPECT_FALSE(db_.GetTestReqiredFromBillOfMat(unknown));
    }

    // A missing count in the ERP copy is an error for the caller, not a zero.
    AddBillOfMat(QStringLiteral("T-BOM-4"), 1, QVariant(QMetaType::fromType<int>()), 1, 0, 0);
    EXPECT_THROW(db_.GetSerNrCountFromBillOfMat(QStringLiteral("T-BOM-4")), VelkorError);
    EXPECT_EQ(db_.GetProdCodeCountFromBillOfMat(QStringLiteral("T-BOM-4")), 1);
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}

TEST_F(ErpQueriesTest, ConversionHistoryOfASerialNumber) {
    AddHistory(QStringLiteral("T-SER-H1"), QStringLiteral("PA0123456"), QStringLiteral("T-FROM"),
               QStringLiteral("T-TO"));
    AddHistory(QStringLiteral("T-SER-H2"), QStringLiteral("4711"), QStringLiteral("T-FROM"), QStringLiteral("T-TO"));
    AddHistory(QStringLiteral("T-SER-H3"), QStringLiteral("PA0999999"), QStringLiteral("T-FROM"), QString());

    EXPECT_EQ(
        db_.GetSerNrBackfitHistoryPaKHK(QStringLiteral("T-SER-H1"), QStringLiteral("T-FROM"), QStringLiteral("T-TO")),
        QStringLiteral("123456"));
    EXPECT_EQ(
        db_.GetSerNrBackfitHistoryPaKHK(QStringLiteral("T-SER-H2"), QStringLiteral("T-FROM"), QStringLiteral("T-TO")),
        QStringLiteral("4711"));
    EXPECT_TRUE(
        db_.IsSerNrBackfitHistoryInKHK(QStringLiteral("T-SER-H1"), QStringLiteral("T-FROM"), QStringLiteral("T-TO")));

    // Every one of the three values must match.
    EXPECT_EQ(
        db_.GetSerNrBackfitHistoryPaKHK(QStringLiteral("T-SER-H1"), QStringLiteral("T-TO"), QStringLiteral("T-FROM")),
        QString());
    EXPECT_FALSE(db_.IsSerNrBackfitHistoryInKHK(QStringLiteral("T-SER-H1"), QStringLiteral("T-FROM"),
                                                QStringLiteral("T-OTHER")));
    EXPECT_FALSE(
        db_.IsSerNrBackfitHistoryInKHK(QStringLiteral("T-SER-H9"), QStringLiteral("T-FROM"), QStringLiteral("T-TO")));
    // A conversion without target article is no conversion.
    EXPECT_FALSE(db_.IsSerNrBackfitHistoryInKHK(QStringLiteral("T-SER-H3"), QStringLiteral("T-FROM"), QString()));
}

TEST_F(ErpQueriesTest, ProductionOrderArticleAndDescription) {
    ExecTestSql(
        QStringLiteral("INSERT INTO productionorder_khk (ProductionOrderNumber, ProductCode, Name) "
                       "VALUES ('T-900030', 'T-ART_X-01', 'T Gerät X')"));
    EXPECT_EQ(db_.GetArtNrFromPaNrKHK(QStringLiteral("T-900030")), QStringLiteral("T-ART_X-01"));
    EXPECT_EQ(db_.GetArtNrFromPaNrKHK(QStringLiteral("T-900039")), QString());
    EXPECT_EQ(db_.GetProdDescriptionFromArtNrKHK(QStringLiteral("T-ART_X")), QStringLiteral("T Gerät X"));
    // "_" in an article number is a character, not a wildcard.
    EXPECT_EQ(db_.GetProdDescriptionFromArtNrKHK(QStringLiteral("T-ART_Y")), QString());
    EXPECT_EQ(db_.GetProdDescriptionFromArtNrKHK(QStringLiteral("T-ARTX")), QString());
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}
