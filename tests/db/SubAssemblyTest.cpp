#include "tests/db/TraceabilityFixture.h"

namespace {

class SubAssemblyTest : public TraceabilityFixture {
protected:
    // A device of the article with the given codes and its own assembly number; returns the device ID.
    qint32 Part(const QString& artNr, const QStringList& codes) {
        const qint32 device = NewDevice();
        QString article = artNr;
        db_.InsertArtNrWithDevID(article, device);
        for (const QString& code : codes) {
            EXPECT_TRUE(db_.InsertProdCodeWithDevID(code, device));
        }
        NewAssembly(device);
        return device;
    }

    void BuildInto(qint32 child, qint32 parent) {
        db_.AddChildToParentAssembly(db_.GetAssemblyfromDevID(child).toInt(), db_.GetAssemblyfromDevID(parent).toInt());
    }

    static QStringList Rows(RecordSet& rs) {
        QStringList rows;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
            rows.append(rs.Field(QStringLiteral("ArtNr")).toString() + QLatin1Char('|') +
                        rs.Field(QStringLiteral("SerNr")).toString() + QLatin1Char('|') +
                        rs.Field(QStringLiteral("ProdCode")).toString());
        }
        return rows;
    }
};

}  // namespace

TEST_F(SubAssemblyTest, CodesOfThreeLevelsAreListedOnceDepthFirst) {
    const qint32 top = Part(QStringLiteral("T-TOP"), {QStringLiteral("P60000001"), QStringLiteral("P60000002")});
    const qint32 middle = Part(QStringLiteral("T-MID"), {QStringLiteral("P60000003")});
    const qint32 bottom = Part(QStringLiteral("T-BOT"), {QStringLiteral("P60000004")});
    const qint32 bare = Part(QStringLiteral("T-BARE"), {});
    const qint32 removed = Part(QStringLiteral("T-GONE"), {QStringLiteral("P60000005")});
    QString serNr = QStringLiteral("S600000001");
    db_.InsertSerNrWithDevID(serNr, middle);
    BuildInto(middle, top);
    BuildInto(bottom, middle);
    BuildInto(bare, top);
    BuildInto(removed, top);
    db_.DeleteAssemblyWithDevID(db_.GetAssemblyfromDevID(removed).toInt());

    RecordSet rs;
    EXPECT_TRUE(db_.GetSubAssemblysRsFromDeviceID(top, rs));
    EXPECT_TRUE(rs.IsOpen());
    EXPECT_EQ(rs.Fields(), QStringList({QStringLiteral("ArtNr"), QStringLiteral("SerNr"), QStringLiteral("ProdCode")}));
    EXPECT_EQ(rs.Field(QStringLiteral("ArtNr")).toString(), QStringLiteral("T-TOP")) << "positioned on the first row";
    EXPECT_EQ(Rows(rs), QStringList({QStringLiteral("T-TOP||P60000002"), QStringLiteral("T-TOP||P60000001"),
                                     QStringLiteral("T-MID|S600000001|P60000003"), QStringLiteral("T-BOT||P60000004"),
                                     QStringLiteral("T-BARE||")}));

    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(top), 4);
    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(middle), 2);
    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(bottom), 1);
    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(bare), 0);
    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(removed), 1);

    // A device without codes and without assembly number
    EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(NewDevice()), 0);

    // An open record set is appended to.
    RecordSet more;
    EXPECT_TRUE(db_.GetSubAssemblysRsFromDeviceID(bottom, more));
    EXPECT_TRUE(db_.GetSubAssemblysRsFromDeviceID(bare, more));
    EXPECT_EQ(Rows(more), QStringList({QStringLiteral("T-BOT||P60000004"), QStringLiteral("T-BARE||")}));
    EXPECT_TRUE(dialogs_.Messages().isEmpty());
}

TEST_F(SubAssemblyTest, CycleBelowADeviceRaisesInsteadOfHanging) {
    const qint32 top = Part(QStringLiteral("T-TOP"), {QStringLiteral("P60000011")});
    const qint32 member = Part(QStringLiteral("T-MID"), {QStringLiteral("P60000012")});
    BuildInto(member, top);
    ExecTestSql(QStringLiteral("INSERT INTO device_assembly (AssemblyNum, Device_Assembly, AssemblyType) "
                               "VALUES (?, ?, 'Z')"),
                {db_.GetAssemblyfromDevID(member), db_.GetAssemblyfromDevID(top)});
    try {
        db_.GetNrOfProdCodesOfAssembly(top);
        FAIL() << "a cycle must raise";
    } catch (const VelkorError& error) {
        EXPECT_EQ(error.Number(), kAppErrorNumber);
        EXPECT_TRUE(error.Description().contains(QStringLiteral("Zyklus")));
    }
}
