// Which values the entries take: the length check against the columns as the connected database defines them
// (the limit is where the database's own limit is, counted in characters as the database counts them), the
// characters that cannot be recorded as they are, and a site database whose columns are shorter than ours.

#include "db/ColumnLimits.h"
#include "shell/Misc.h"
#include "tests/workstation/WorkflowTestHost.h"
#include "db/StorableValue.h"

namespace {

using Column = ColumnLimits::Column;

QString Repeat(const QString& piece, int times) {
    QString text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

class StorableValueTest : public WorkflowTest {
protected:
    void SetUp() override {
        WorkflowTest::SetUp();
        ColumnLimits::Forget();
    }

    // Writes the value into the column through the program's own write, as the workflow does; true when the
    // database took it, and then it must read back byte for byte.
    bool DatabaseTakes(Column column, const QString& value) {
        const qint32 devId = NewDevice();
        try {
            QString text = value;
            switch (column) {
                case Column::ProductionCode:
                    if (!db_.InsertDuplicateProdCodeWithDevID(text, devId)) {
                        return false;
                    }
                    break;
                case Column::SerialNumber:
                    db_.InsertExtDuplicateSerNrWithDevID(text, devId);
                    break;
                case Column::ProductionOrderNumber:
                    db_.InsertPaNrWithDevID(text, devId);
                    break;
                case Column::ProductCode:
                    db_.InsertArtNrWithDevID(text, devId);
                    break;
            }
        } catch (const VelkorError&) {
            TakeMessages();  // the database class's report of the refused row
            return false;
        }
        static const char* const kReadBack[] = {
            "SELECT HEX(ProductionCode) FROM device_productioncode WHERE DeviceID = ?",
            "SELECT HEX(SerialNumber) FROM device_serialnumber WHERE DeviceID = ?",
            "SELECT HEX(ProductionOrderNumber) FROM device_productionordernumber WHERE DeviceID = ?",
            "SELECT HEX(ProductCode) FROM device_productcode WHERE DevID = ?",
        };
        EXPECT_EQ(QueryTestRows(QLatin1String(kReadBack[static_cast<int>(column)]), {devId}),
                  QStringList{QString::fromLatin1(value.toUtf8().toHex().toUpper())});
        return true;
    }
};

TEST_F(StorableValueTest, LengthLimitIsTheDatabasesCountedInCharacters) {
    for (Column column :
         {Column::ProductionCode, Column::SerialNumber, Column::ProductionOrderNumber, Column::ProductCode}) {
        const int limit = ColumnLimits::MaxLength(column);
        ASSERT_GT(limit, 0) << static_cast<int>(column);
        // Plain, two bytes in UTF-8, and outside the BMP (two UTF-16 units, four bytes).
        for (const QString& piece : {QStringLiteral("7"), QStringLiteral("ä"), QString::fromUtf16(u"😀")}) {
            SCOPED_TRACE(piece.toStdString() + " in column " + std::to_string(static_cast<int>(column)));
            const QString fits = Repeat(piece, limit);
            const QString tooLong = Repeat(piece, limit + 1);
            EXPECT_EQ(StorageRefusal(fits, column, QStringLiteral("Der Wert")), QString());
            EXPECT_TRUE(DatabaseTakes(column, fits));
            EXPECT_EQ(
                StorageRefusal(tooLong, column, QStringLiteral("Der Wert")),
                QStringLiteral("Der Wert ist zu lang (%1 Zeichen, höchstens %2 erlaubt).").arg(limit + 1).arg(limit));
            EXPECT_FALSE(DatabaseTakes(column, tooLong));
        }
    }
}

struct CharacterCase {
    const char* name;
    QString value;
    QString refusal;  // "" when the value is taken
};

void PrintTo(const CharacterCase& c, std::ostream* out) {
    *out << c.name;
}

const QString kControl = QStringLiteral("Der gescannte Wert enthält Steuerzeichen und wird nicht angenommen.");
const QString kInvalid = QStringLiteral("Der gescannte Wert enthält ungültige Zeichen und wird nicht angenommen.");

// clang-format off
const CharacterCase kCharacterCases[] = {
    {"Plain", QStringLiteral("G1234567"), ""},
    {"QuotesAndWildcards", QStringLiteral("0050C'%_\\\"`;"), ""},
    {"Umlauts", QStringLiteral("Müller-Ä1ß"), ""},
    {"EmojiPair", QString::fromUtf16(u"G😀12345"), ""},
    {"Blanks", QStringLiteral("  G 1  "), ""},
    {"Nul", QString::fromUtf16(u"G12\u000045", 6), kControl},
    {"CarriageReturn", QStringLiteral("P12345678\r"), kControl},
    {"LineFeed", QStringLiteral("G123\n567"), kControl},
    {"Tab", QStringLiteral("\tP12345678"), kControl},
    {"Escape", QStringLiteral("G\x1b[2J"), kControl},
    {"Delete", QStringLiteral("G12\x7f"), kControl},
    {"C1NextLine", QString::fromUtf16(u"G12\u0085"), kControl},
    {"LoneHighSurrogate", QStringLiteral("G12") + QChar(0xD83D), kInvalid},
    {"LoneLowSurrogate", QChar(0xDE00) + QStringLiteral("G12"), kInvalid},
    {"ReversedPair", QStringLiteral("G") + QChar(0xDE00) + QChar(0xD83D), kInvalid},
};
// clang-format on

class StorableCharactersTest : public StorableValueTest, public ::testing::WithParamInterface<CharacterCase> {};

TEST_P(StorableCharactersTest, TakenOnlyWhenRecordedAsItIs) {
    const CharacterCase& c = GetParam();
    EXPECT_EQ(StorageRefusal(c.value, Column::SerialNumber, QStringLiteral("Der gescannte Wert")), c.refusal);
    if (c.refusal.isEmpty()) {
        EXPECT_TRUE(DatabaseTakes(Column::SerialNumber, c.value));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StorableCharactersTest, ::testing::ValuesIn(kCharacterCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A site database whose columns are shorter than ours: every entry refuses by the site's lengths, before it
// writes anything.
struct SiteCase {
    const char* name;
    QString route;       // "capture", "entry" (double-click), "search", "prompt" (the remaining codes)
    QString node;        // "" selects none
    QString value;       // the scan, or the value typed into the route's input box
    QStringList inputs;  // the answers to the input boxes after it
    QString paNr;
    Outcome want;
};

void PrintTo(const SiteCase& c, std::ostream* out) {
    *out << c.name;
}

const QString kEntryBox = Input(QStringLiteral("Produktionscode/Serinnummer Eingabe"), text::kScanPrompt);
QString TooLong(int length, int limit) {
    return QStringLiteral("Der gescannte Wert ist zu lang (%1 Zeichen, höchstens %2 erlaubt).").arg(length).arg(limit);
}
const std::array<int, 6> kNewComponent{2, 3, 1, 0, 1, 2};
const std::array<int, 6> kNewExtSerNr{2, 3, 0, 1, 1, 2};
const QString kRootWithCode = tree240101::kRoot + "=#1K0|SG-5000-A P(1/1) S(0/1)|HasDev";
const QString kBoardOneCode = tree240101::kLp + "=#2K2|LP-5100-A P(1/2)|Unknown";

using namespace tree240101;

// The site: production codes of at most 12 characters, serial numbers of 20, order numbers of 8.
// clang-format off
const SiteCase kSiteCases[] = {
    {"CaptureCodeFits", "capture", kLp, "P12345678901", {""}, "240101",
     {{text::kRemainingCodes}, kNewComponent, {kRootWithCode, kBoardOneCode}, kRm1}},
    {"CaptureCodeTooLong", "capture", kLp, "P123456789012", {}, "240101",
     {{kBeep, MsgOk(TooLong(13, 12))}, {}, {}, kLp}},
    {"EntryExternalSerialFits", "entry", kFm, "EXT-4567890123456789", {}, "240101",
     {{kEntryBox}, kNewExtSerNr, {kRoot + "=#1K0|SG-5000-A P(0/1) S(0/1)|HasDev",
                                  kFm + "=#2K2|FM-5300-A P(0/?) F(1/1)|Set"}, kAm}},
    {"EntryExternalSerialTooLong", "entry", kFm, "EXT-45678901234567890", {}, "240101",
     {{kEntryBox, MsgOk(TooLong(21, 20))}, {}, {}, kFm}},
    {"SearchTooLong", "search", "", "P123456789012", {}, "240101",
     {{text::kSwapPrompt, kBeep, MsgOk(TooLong(13, 12))}}},
    {"OrderNumberTooLongForTheFinalProduct", "capture", kLp, "P12345678", {}, "240101   0",
     {{kBeep, MsgOk("Die Produktionsauftragsnummer ist zu lang (10 Zeichen, höchstens 8 erlaubt).")}, {}, {}, kLp}},
    {"OrderNumberNotANumber", "capture", kLp, "P12345678", {}, "24O1O1",
     {{kBeep, MsgOk("Die Produktionsauftragsnummer ist keine Zahl und wird nicht angenommen.")}, {}, {}, kLp}},
    {"OrderNumberBlanksNotCounted", "capture", kLp, "P12345678", {""}, "  240101  ",
     {{text::kRemainingCodes}, kNewComponent, {kRootWithCode, kBoardOneCode}, kRm1}},
    {"RemainingCodeTooLong", "prompt", kLp, "P123456789012", {}, "240101",
     {{text::kRemainingCodes, MsgOk(TooLong(13, 12))}, kNewComponent, {kRootWithCode, kBoardOneCode}, kRm1}},
};
// clang-format on

class SiteColumnsTest : public StorableValueTest, public ::testing::WithParamInterface<SiteCase> {
protected:
    void SetUp() override {
        StorableValueTest::SetUp();
        Shorten("device_productioncode", "ProductionCode", 12);
        Shorten("device_serialnumber", "SerialNumber", 20);
        Shorten("device_productionordernumber", "ProductionOrderNumber", 8);
        ColumnLimits::Forget();
    }
    void TearDown() override {
        for (const auto& [table, column] : altered_) {
            ExecTestSql(QStringLiteral("ALTER TABLE %1 MODIFY %2 %3 NOT NULL").arg(table, column, types_[table]));
        }
        ColumnLimits::Forget();
        StorableValueTest::TearDown();
    }

    void Shorten(const char* table, const char* column, int length) {
        const QString name = QLatin1String(table);
        types_[name] =
            QueryTestValue(QStringLiteral("SELECT COLUMN_TYPE FROM information_schema.COLUMNS WHERE "
                                          "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? AND COLUMN_NAME = ?"),
                           {name, QLatin1String(column)})
                .toString();
        ExecTestSql(QStringLiteral("ALTER TABLE %1 MODIFY %2 VARCHAR(%3) NOT NULL")
                        .arg(name, QLatin1String(column))
                        .arg(length));
        altered_.append({name, QLatin1String(column)});
    }

    QList<std::pair<QString, QString>> altered_;
    QHash<QString, QString> types_;
};

TEST_P(SiteColumnsTest, RefusedByTheSitesLengthsBeforeAnythingIsWritten) {
    const SiteCase& c = GetParam();
    OpenOrder(QStringLiteral("240101"));
    host_.paNr[0] = c.paNr;
    Select(c.node);
    const bool scanned = c.route == QLatin1String("capture");
    Queue({}, scanned ? c.inputs : QStringList{c.value} + c.inputs);
    Check(c.want, [&] {
        if (scanned) {
            flow_.capture.ProdCodeSerNrScanInput(c.value, QString());
        } else if (c.route == QLatin1String("entry")) {
            flow_.entry.TreeViewCtr_DblClick(0);
        } else if (c.route == QLatin1String("search")) {
            flow_.display.SwapDevice(QString(), 0);
        } else {
            flow_.capture.ProdCodeSerNrScanInput(QStringLiteral("P24200001"), QString());
        }
    });
    // The order number recorded with a new final product: as entered, without its blanks.
    if (c.want.rows[4] == 1) {
        EXPECT_EQ(QueryTestValue(QStringLiteral("SELECT ProductionOrderNumber FROM device_productionordernumber "
                                                "ORDER BY ID DESC LIMIT 1")),
                  QVariant(TrimBlanks(c.paNr)));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SiteColumnsTest, ::testing::ValuesIn(kSiteCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
