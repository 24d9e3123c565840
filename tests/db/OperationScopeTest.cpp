// The answers of the ERP copy tables within one operation, and the count of statements sent.

#include <functional>

#include "tests/db/TraceabilityFixture.h"

using namespace Qt::StringLiterals;

namespace {

struct ErpQuestion {
    const char* name;
    std::function<QString(AssemblyDbClass&)> ask;  // the answer as text
    QString answer;                                // on the demo data
    QString changeSql;                             // changes the ERP copy so that the answer changes
    QString changedAnswer;
};

void PrintTo(const ErpQuestion& q, std::ostream* out) {
    *out << q.name;
}

const ErpQuestion kQuestions[] = {
    {"ArticleOfOrder", [](AssemblyDbClass& db) { return db.GetArtNrFromPaNrKHK(u"240101"_s); }, u"SG-5000-A01"_s,
     u"UPDATE productionorder_khk SET ProductCode = 'SG-5000-B01' WHERE ProductionOrderNumber = '240101'"_s,
     u"SG-5000-B01"_s},
    {"Description", [](AssemblyDbClass& db) { return db.GetProdDescriptionFromArtNrKHK(u"BG-5600-B"_s); },
     u"Bedieneinheit BG-5600 mit Farbdisplay"_s,
     u"UPDATE productionorder_khk SET Name = 'Bedieneinheit' WHERE ProductionOrderNumber = '240102'"_s,
     u"Bedieneinheit"_s},
    {"ProductionCodes",
     [](AssemblyDbClass& db) { return QString::number(db.GetProdCodeCountFromBillOfMat(u"LP-5100-A"_s)); }, u"2"_s,
     u"UPDATE productioncode_count_khk SET ProductionCodeCount = 3 WHERE BillOfMaterials = 'LP-5100-A'"_s, u"3"_s},
    {"SerialNumbers",
     [](AssemblyDbClass& db) { return QString::number(db.GetSerNrCountFromBillOfMat(u"NT-5200-A"_s)); }, u"1"_s,
     u"UPDATE productioncode_count_khk SET SerialNumberCount = 0 WHERE BillOfMaterials = 'NT-5200-A'"_s, u"0"_s},
    {"ExternalSerials",
     [](AssemblyDbClass& db) { return QString::number(db.GetExtSerCountFromBillOfMat(u"FM-5300-A"_s)); }, u"1"_s,
     u"UPDATE productioncode_count_khk SET ExtSerialNumberCount = 2 WHERE BillOfMaterials = 'FM-5300-A'"_s, u"2"_s},
    {"TestRequired",
     [](AssemblyDbClass& db) { return QString::number(db.GetTestReqiredFromBillOfMat(u"AM-5400-A"_s)); }, u"1"_s,
     u"UPDATE productioncode_count_khk SET TestRequired = 0 WHERE BillOfMaterials = 'AM-5400-A'"_s, u"0"_s},
    {"ConversionOrder",
     [](AssemblyDbClass& db) { return db.GetSerNrBackfitHistoryPaKHK(u"S0A1B2C3D"_s, u"NT-5100-A"_s, u"NT-5200-A"_s); },
     u"240104"_s, u"DELETE FROM serialnumber_prod_history_khk WHERE Serialnumber = 'S0A1B2C3D'"_s, u""_s},
    {"ConversionKnown",
     [](AssemblyDbClass& db) {
         return QString::number(db.IsSerNrBackfitHistoryInKHK(u"S0A1B2C3D"_s, u"NT-5100-A"_s, u"NT-5200-A"_s));
     },
     u"1"_s, u"DELETE FROM serialnumber_prod_history_khk WHERE Serialnumber = 'S0A1B2C3D'"_s, u"0"_s},
};

class OperationScopeTest : public TraceabilityFixture, public ::testing::WithParamInterface<ErpQuestion> {
protected:
    // The answer and the number of statements it took.
    std::pair<QString, quint64> Ask() {
        const quint64 before = AssemblyDbClass::StatementsSent();
        const QString answer = GetParam().ask(db_);
        return {answer, AssemblyDbClass::StatementsSent() - before};
    }
};

}  // namespace

TEST_P(OperationScopeTest, OneReadingPerOperationAndTheNextOperationSeesAChange) {
    const ErpQuestion& q = GetParam();
    // Without an operation every question is a statement.
    EXPECT_EQ(Ask(), std::make_pair(q.answer, quint64{1}));
    EXPECT_EQ(Ask(), std::make_pair(q.answer, quint64{1}));
    {
        AssemblyDbClass::OperationScope operation(db_);
        EXPECT_EQ(Ask(), std::make_pair(q.answer, quint64{1}));
        {
            AssemblyDbClass::OperationScope inner(db_);
            EXPECT_EQ(Ask(), std::make_pair(q.answer, quint64{0}));
        }
        ExecTestSql(q.changeSql);
        // Still the same operation (the inner end forgets nothing): the answer it has read.
        EXPECT_EQ(Ask(), std::make_pair(q.answer, quint64{0}));
    }
    AssemblyDbClass::OperationScope next(db_);
    EXPECT_EQ(Ask(), std::make_pair(q.changedAnswer, quint64{1}));
    EXPECT_EQ(Ask(), std::make_pair(q.changedAnswer, quint64{0}));
}

INSTANTIATE_TEST_SUITE_P(Questions, OperationScopeTest, ::testing::ValuesIn(kQuestions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TraceabilityFixture, MissingCountRaisesAgainWithinOneOperation) {
    ExecTestSql(
        u"INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, SerialNumberCount, "
        "ProductionCodeCount, ExtSerialNumberCount, TestRequired) VALUES ('T-BOM-N', 1, NULL, 1, 0, 0)"_s);
    AssemblyDbClass::OperationScope operation(db_);
    EXPECT_THROW(db_.GetSerNrCountFromBillOfMat(u"T-BOM-N"_s), VelkorError);
    const quint64 before = AssemblyDbClass::StatementsSent();
    EXPECT_THROW(db_.GetSerNrCountFromBillOfMat(u"T-BOM-N"_s), VelkorError);
    EXPECT_EQ(AssemblyDbClass::StatementsSent(), before);
}

TEST_F(TraceabilityFixture, EveryStatementIsCountedAndShownToTheObserver) {
    QStringList seen;
    AssemblyDbClass::SetStatementObserver([&](const QString& sql, const QVariantList& values) {
        seen.append(sql.section(QLatin1Char(' '), 0, 0) + QLatin1Char('/') + QString::number(values.size()));
    });
    const quint64 before = AssemblyDbClass::StatementsSent();
    db_.Begin();
    const qint32 devId = NewDevice();
    db_.InsertPaNrWithDevID(u"240101"_s, devId);
    db_.Rollback();
    AssemblyDbClass::SetStatementObserver({});
    db_.GetPaWithDevID(devId);
    EXPECT_EQ(AssemblyDbClass::StatementsSent() - before, static_cast<quint64>(seen.size()) + 1);
    ASSERT_GE(seen.size(), 3);
    EXPECT_EQ(seen.first(), u"START/0"_s);
    EXPECT_EQ(seen.last(), u"ROLLBACK;/0"_s);
}

TEST_F(TraceabilityFixture, TheFourBillOfMaterialsFiguresOfAnArticleInOneStatementPerOperation) {
    // Articles with one variation, with two (NT-5200-A), with nothing to capture and without any row.
    ExecTestSql(
        u"INSERT INTO productioncode_count_khk (BillOfMaterials, Variation, SerialNumberCount, "
        "ProductionCodeCount, ExtSerialNumberCount, TestRequired) VALUES ('T-BOM-V', 3, 2, 5, 1, -1), "
        "('T-BOM-V', 7, 1, 4, 0, 0), ('T-BOM-V', 5, 0, 3, 2, 1)"_s);
    for (const QString& artNr : {u"LP-5100-A"_s, u"NT-5200-A"_s, u"AM-5400-A"_s, u"FM-5300-A"_s, u"GS-5500-A"_s,
                                 u"WP-5510-A"_s, u"T-BOM-V"_s, u"T-NONE"_s}) {
        SCOPED_TRACE(artNr.toStdString());
        const auto figures = [&] {
            return QList<int>{db_.GetTestReqiredFromBillOfMat(artNr), db_.GetSerNrCountFromBillOfMat(artNr),
                              db_.GetProdCodeCountFromBillOfMat(artNr), db_.GetExtSerCountFromBillOfMat(artNr)};
        };
        const QList<int> single = figures();
        AssemblyDbClass::OperationScope operation(db_);
        const quint64 before = AssemblyDbClass::StatementsSent();
        EXPECT_EQ(figures(), single);
        EXPECT_EQ(figures(), single);
        EXPECT_EQ(AssemblyDbClass::StatementsSent() - before, 1u);
    }
}
