#include "tests/db/TraceabilityFixture.h"

using namespace Qt::StringLiterals;

namespace {

class SubAssemblyTest : public TraceabilityFixture {
protected:
    // A device of the article with the given codes and its own assembly number; returns the device ID.
    qint32 Part(const QString& artNr, const QStringList& codes) {
        const qint32 device = NewDevice();
        QString article = artNr;
        db_.InsertArtNrWithDevID(article, device);
        for (const QString& code : codes)
            EXPECT_TRUE(db_.InsertProdCodeWithDevID(code, device));
        NewAssembly(device);
        return device;
    }

    void BuildInto(qint32 child, qint32 parent) {
        db_.AddChildToParentAssembly(db_.GetAssemblyfromDevID(child).toInt(), db_.GetAssemblyfromDevID(parent).toInt());
    }

    static QStringList Rows(RecordSet& rs) {
        QStringList rows;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
            rows.append(rs.Field(u"ArtNr"_s).toString() + u'|' + rs.Field(u"SerNr"_s).toString() + u'|' +
                        rs.Field(u"ProdCode"_s).toString());
        return rows;
    }
};

}  // namespace

TEST_F(SubAssemblyTest, CodesOfThreeLevelsAreListedOnceDepthFirst) {
    const qint32 top = Part(u"T-TOP"_s, {u"P60000001"_s, u"P60000002"_s});
    const qint32 middle = Part(u"T-MID"_s, {u"P60000003"_s});
    const qint32 bottom = Part(u"T-BOT"_s, {u"P60000004"_s});
    const qint32 bare = Part(u"T-BARE"_s, {});
    const qint32 removed = Part(u"T-GONE"_s, {u"P60000005"_s});
    QString serNr = u"S600000001"_s;
    db_.InsertSerNrWithDevID(serNr, middle);
    BuildInto(middle, top);
    BuildInto(bottom, middle);
    BuildInto(bare, top);
    BuildInto(removed, top);
    db_.DeleteAssemblyWithDevID(db_.GetAssemblyfromDevID(removed).toInt());

    RecordSet rs;
    EXPECT_TRUE(db_.GetSubAssemblysRsFromDeviceID(top, rs));
    EXPECT_EQ(rs.Field(u"ArtNr"_s).toString(), u"T-TOP"_s) << "positioned on the first row";
    EXPECT_EQ(Rows(rs), QStringList({u"T-TOP||P60000002"_s, u"T-TOP||P60000001"_s, u"T-MID|S600000001|P60000003"_s,
                                     u"T-BOT||P60000004"_s, u"T-BARE||"_s}));
    // An open record set is appended to.
    EXPECT_TRUE(db_.GetSubAssemblysRsFromDeviceID(bottom, rs));
    EXPECT_EQ(Rows(rs).mid(5), QStringList{u"T-BOT||P60000004"_s});

    const std::pair<qint32, int> counts[] = {{top, 4},  {middle, 2},  {bottom, 1},
                                             {bare, 0}, {removed, 1}, {NewDevice(), 0}};
    for (const auto& [device, count] : counts)
        EXPECT_EQ(db_.GetNrOfProdCodesOfAssembly(device), count) << device;

    // top built into bottom closes a circle, which raises instead of hanging.
    AddAssemblyRow(db_.GetAssemblyfromDevID(bottom), db_.GetAssemblyfromDevID(top), u"Z"_s);
    EXPECT_THROW(db_.GetNrOfProdCodesOfAssembly(top), VelkorError);
}
