#include "tests/workstation/FuzzSupport.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <sstream>

namespace {

// Characters and pieces a scanner or a prankster may send.
// clang-format off
const char16_t* const kSqlPieces[] = {
    u"'", u"\"", u"`", u";", u"--", u"/*", u"*/", u"\\", u"%", u"_", u"%_%", u"\\%", u"\\_", u"\\'", u"''",
    u"\\\\", u"?", u":name", u"{fn NOW()}", u"' OR '1'='1", u"'; DROP TABLE device; --", u"\" OR \"\"=\"", u"0x27",
    u"CHAR(39)", u"[", u"]", u"*", u"#", u"$1", u"@@version",
};
const char16_t* const kControls[] = {
    u"\r", u"\n", u"\r\n", u"\t", u"\x1b", u"\x7f", u"\x85", u"\x01", u"\x08", u"\x0b", u"\x0c", u"\x1f", u"\x9f",
};
const char16_t* const kNonAscii[] = {
    u"ä", u"ö", u"ü", u"Ä", u"Ö", u"Ü", u"ß", u"€", u"µ", u"é", u"ñ", u"中文", u"😀", u"🔧", u"👍🏽", u"e\u0301",
    u"\u200b", u"\ufeff", u"\u202e", u"\uffff", u"\ufffd", u"１２３", u"٣٤", u"Ⅻ", u"\u00a0", u"\u2028", u"ﬁ", u"İ",
    u"ǅ", u"𝟘",
};
// Known codes of the demo database: the tests meet recorded devices too.
const char16_t* const kKnownCodes[] = {
    u"P24100001", u"P24100002", u"P24100010", u"P24100011", u"P24100021", u"P24100031", u"P24100050", u"240001",
    u"230050", u"FM24-00001",
};
// clang-format on

QString FromUtf16(const char16_t* text) {
    return QString::fromUtf16(text);
}

template <size_t N>
QString PickFrom(const char16_t* const (&list)[N], int index) {
    return FromUtf16(list[static_cast<size_t>(index) % N]);
}

}  // namespace

int FuzzValues::Length(int limit, int typical) {
    switch (Below(6)) {
        case 0:
        case 1:
            return typical;
        case 2:
            return 1 + Below(20);
        case 3:
        case 4:
            return std::max(1, limit - 2 + Below(5));
        default:
            return OneIn(3) ? 1000 + Below(9001) : 21 + Below(300);
    }
}

QString FuzzValues::Digits(int count) {
    QString digits;
    digits.reserve(count);
    for (int i = 0; i < count; ++i) {
        digits.append(QChar(u'0' + Below(10)));
    }
    return digits;
}

QString FuzzValues::HexDigits(int count, bool bothCases) {
    static const QString upper = QStringLiteral("0123456789ABCDEF");
    static const QString both = QStringLiteral("0123456789ABCDEFabcdef");
    const QString& set = bothCases ? both : upper;
    QString text;
    for (int i = 0; i < count; ++i) {
        text.append(set.at(Below(static_cast<int>(set.size()))));
    }
    return text;
}

QString FuzzValues::Hostile() {
    switch (Below(4)) {
        case 0:
            return PickFrom(kSqlPieces, Below(1000));
        case 1:
            return OneIn(4) ? QString(QChar(u'\0')) : PickFrom(kControls, Below(1000));
        case 2:
            return PickFrom(kNonAscii, Below(1000));
        default:
            // Lone or reversed halves of surrogate pairs.
            switch (Below(3)) {
                case 0:
                    return QString(QChar(0xD800 + Below(0x400)));
                case 1:
                    return QString(QChar(0xDC00 + Below(0x400)));
                default:
                    return QString(QChar(0xDC00 + Below(0x400))) + QChar(0xD800 + Below(0x400));
            }
    }
}

QString FuzzValues::AnyCharacter() {
    if (OneIn(3)) {
        return Hostile();
    }
    return QString(QChar(0x20 + Below(0x5F)));  // printable ASCII
}

QString FuzzValues::FreeText(int length) {
    QString text;
    text.reserve(length);
    const bool plain = OneIn(2);  // half of them printable ASCII only, so that many of them fit and are stored
    while (text.size() < length) {
        text += plain ? QString(QChar(0x20 + Below(0x5F))) : AnyCharacter();
    }
    return text.left(length);
}

QString FuzzValues::ProdCodeShape() {
    switch (Below(5)) {
        case 0:
        case 1:
            return QStringLiteral("P") + Digits(Length(limits_.prodCode, 9) - 1);
        case 2: {
            // What the numeric test of the rest may still take: blanks, signs, decimal points and exponents.
            static const char16_t* const kRests[] = {u" 1234", u"1234 ", u"  12345678  ", u"1e5", u"1E+10", u"-1",
                                                     u"+1",    u".5",    u"1.",           u"1d3", u"0x1F",  u"1,5",
                                                     u"",      u" ",     u"1 2",          u"\t1", u"1\r\n", u"e5"};
            return QStringLiteral("P") + PickFrom(kRests, Below(1000)) + (OneIn(2) ? Digits(Below(8)) : QString());
        }
        case 3:
            return (OneIn(2) ? QStringLiteral("p") : QStringLiteral(" P")) + Digits(8);
        default:
            return PickFrom(kKnownCodes, Below(1000));
    }
}

QString FuzzValues::SerNrShape() {
    // The known serial number patterns, with their free positions filled with anything.
    switch (Below(10)) {
        case 0:
            return HexDigits(2, false) + Digits(4);
        case 1:
            return QStringLiteral("S") + HexDigits(8, true);
        case 2:
            return Digits(6);
        case 3:
            return AnyCharacter() + Digits(5);
        case 4:
            return QStringLiteral("0050C") + FreeText(7);
        case 5:
            return QStringLiteral("G") + FreeText(7);
        case 6:
            return QStringLiteral("S") + Digits(9);
        case 7:
            return QStringLiteral("502DF4") + FreeText(6);
        case 8:
            return QStringLiteral("test");
        default:
            return QStringLiteral("G") + FreeText(Length(limits_.serNr, 7));
    }
}

QString FuzzValues::Mutate(const QString& value) {
    if (!OneIn(4)) {
        return value;
    }
    const int at = value.isEmpty() ? 0 : Below(static_cast<int>(value.size()) + 1);
    switch (Below(3)) {
        case 0:
            return value.left(at) + Hostile() + value.mid(at);
        case 1:
            return value + PickFrom(kControls, Below(1000));
        default:
            return PickFrom(kSqlPieces, Below(1000)) + value;
    }
}

QString FuzzValues::NextScan(Kind& kind) {
    switch (Below(8)) {
        case 0:
        case 1:
        case 2:
            kind = Kind::ProdCode;
            return Mutate(ProdCodeShape());
        case 3:
        case 4:
            kind = Kind::SerNr;
            return Mutate(SerNrShape());
        case 5:
            kind = Kind::Free;
            return OneIn(10) ? QString(Below(4), QLatin1Char(' ')) : FreeText(Length(limits_.serNr, 12));
        case 6: {
            kind = Kind::Free;
            QString text;
            const int pieces = 1 + Below(6);
            for (int i = 0; i < pieces; ++i) {
                text += OneIn(2) ? PickFrom(kSqlPieces, Below(1000)) : FreeText(1 + Below(6));
            }
            return text;
        }
        default:
            kind = Kind::Free;
            return Mutate(FreeText(Length(limits_.serNr, 10)));
    }
}

QString FuzzValues::NextOrderNumber() {
    static const char16_t* const kOrders[] = {u"240101", u"240102", u"240103", u"240104", u"240109"};
    switch (Below(7)) {
        case 0:  // a known order, perhaps with blanks around it
            return QString(OneIn(3) ? Below(3) : 0, QLatin1Char(' ')) + PickFrom(kOrders, Below(1000)) +
                   QString(OneIn(2) ? Below(40) : 0, QLatin1Char(' '));
        case 1:
        case 2:
            return Digits(Length(limits_.paNr, 6));
        case 3: {
            static const char16_t* const kNumbers[] = {u"1e5",  u"-240101", u"+240101",     u"2401.01",
                                                       u".5",   u"240101.", u"1d3",         u"24 0101",
                                                       u"0x1F", u"١٢٣",     u"２４０１０１"};
            return PickFrom(kNumbers, Below(1000));
        }
        case 4:
            return Mutate(PickFrom(kOrders, Below(1000)) + PickFrom(kControls, Below(1000)));
        default: {
            Kind ignored;
            return NextScan(ignored);
        }
    }
}

LenientDialogs::LenientDialogs() : previous_(&Dialogs()) {
    SetDialogs(this);
}

LenientDialogs::~LenientDialogs() {
    SetDialogs(previous_);
}

QStringList LenientDialogs::TakeMessages() {
    QStringList taken;
    taken.swap(messages_);
    inputs_.clear();
    return taken;
}

MsgAnswer LenientDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon, const QString&) {
    messages_.append(text);
    return DecliningAnswer(buttons);
}

QString LenientDialogs::InputBox(const QString&, const QString&, const QString&) {
    if (inputs_.empty()) {
        return QString();
    }
    const QString text = inputs_.front();
    inputs_.pop_front();
    return text;
}

void TraceabilityWatch::AllowCompletionFlagChanges() {
    completionFlagsMayChange_ = true;
    checkpointRows_ = RowsUpTo(checkpointIds_);
}

void TraceabilityWatch::Start() {
    Step();
    Checkpoint();
}

TraceabilityWatch::Counts TraceabilityWatch::Step() {
    // One statement for all six tables: the rows above the last known keys, and the new highest keys.
    QStringList parts;
    QVariantList values;
    for (int i = 0; i < kTraceabilityTableCount; ++i) {
        parts.append(
            QStringLiteral("(SELECT COUNT(*) FROM %1 WHERE ID > ?)").arg(QLatin1String(kTraceabilityTables[i])));
        values.append(maxIds_[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < kTraceabilityTableCount; ++i) {
        parts.append(
            QStringLiteral("(SELECT COALESCE(MAX(ID), 0) FROM %1)").arg(QLatin1String(kTraceabilityTables[i])));
    }
    const QStringList row = QueryTestRows(QStringLiteral("SELECT ") + parts.join(QStringLiteral(", ")), values);
    Counts added{};
    if (row.size() != 1) {
        ADD_FAILURE() << "no answer for the table watch";
        return added;
    }
    const QStringList columns = row.first().split(QLatin1Char('|'));
    stepIds_ = maxIds_;
    for (size_t i = 0; i < added.size(); ++i) {
        added[i] = columns.at(static_cast<qsizetype>(i)).toInt();
        maxIds_[i] = std::max(maxIds_[i], columns.at(static_cast<qsizetype>(i + added.size())).toLongLong());
    }
    return added;
}

QStringList TraceabilityWatch::NewValues(int table, const QString& columns) const {
    return QueryTestRows(QStringLiteral("SELECT %1 FROM %2 WHERE ID > ? ORDER BY ID")
                             .arg(columns, QLatin1String(kTraceabilityTables[table])),
                         {stepIds_[static_cast<size_t>(table)]});
}

QStringList TraceabilityWatch::NewProdCodes() const {
    return NewValues(2, QStringLiteral("HEX(ProductionCode)"));
}

QStringList TraceabilityWatch::NewSerNrs() const {
    return NewValues(3, QStringLiteral("HEX(SerialNumber), ExtFlag"));
}

QStringList TraceabilityWatch::NewPaNrs() const {
    return NewValues(4, QStringLiteral("HEX(ProductionOrderNumber)"));
}

QStringList TraceabilityWatch::RowsUpTo(const std::array<qint64, kTraceabilityTableCount>& maxIds) const {
    QStringList rows;
    for (int i = 0; i < kTraceabilityTableCount; ++i) {
        rows.append(QLatin1String(kTraceabilityTables[i]));
        // HEX() of every row: texts compared byte for byte, not as the driver reads them back.
        const QString table = QLatin1String(kTraceabilityTables[i]);
        const QStringList columns = QueryTestRows(
            QStringLiteral("SELECT GROUP_CONCAT(CONCAT('HEX(', COLUMN_NAME, ')') ORDER BY ORDINAL_POSITION) FROM "
                           "information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? AND NOT "
                           "(TABLE_NAME = 'device_assembly' AND COLUMN_NAME = 'OKFlag' AND ?)"),
            {table, completionFlagsMayChange_ ? 1 : 0});
        rows +=
            QueryTestRows(QStringLiteral("SELECT %1 FROM %2 WHERE ID <= ? ORDER BY ID").arg(columns.value(0), table),
                          {maxIds[static_cast<size_t>(i)]});
    }
    return rows;
}

bool TraceabilityWatch::Checkpoint() {
    bool unchanged = true;
    if (!checkpointRows_.isEmpty()) {
        const QStringList now = RowsUpTo(checkpointIds_);
        unchanged = now == checkpointRows_;
        if (!unchanged) {
            // The rows (texts as HEX) that are gone or new, the table named by the rows around them.
            QStringList gone, added;
            for (const QString& row : checkpointRows_) {
                if (!now.contains(row)) {
                    gone.append(row);
                }
            }
            for (const QString& row : now) {
                if (!checkpointRows_.contains(row)) {
                    added.append(row);
                }
            }
            ADD_FAILURE() << "rows recorded before were changed; before: " << gone.mid(0, 10).join(' ').toStdString()
                          << "; now: " << added.mid(0, 10).join(' ').toStdString();
        }
    }
    checkpointIds_ = maxIds_;
    checkpointRows_ = RowsUpTo(checkpointIds_);
    return unchanged;
}

QString HexOf(const QString& text) {
    return QString::fromLatin1(text.toUtf8().toHex().toUpper());
}

std::string Shown(const QString& value) {
    std::ostringstream out;
    out << value.size() << " UTF-16 units, starting \"";
    for (const QChar c : value.left(40)) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            out << static_cast<char>(c.unicode());
        } else {
            out << "\\u" << std::hex << c.unicode() << std::dec;
        }
    }
    out << '"';
    return out.str();
}

void FuzzTally::Refused(const QString& message) {
    // By the message's first line, its figures (lengths, numbers) left out.
    static const QRegularExpression figures(QStringLiteral("\\d+"));
    ++refused[message.section(QStringLiteral("\r\n"), 0, 0).replace(figures, QStringLiteral("n")).left(80)];
}

std::string FuzzTally::Summary(const char* entry) const {
    std::ostringstream out;
    int refusedCount = 0;
    for (const auto& [reason, count] : refused) {
        refusedCount += count;
    }
    int otherCount = 0;
    for (const auto& [what, count] : others) {
        otherCount += count;
    }
    out << "[fuzz] " << entry << ": " << values << " values, " << stored << " stored, " << refusedCount << " refused, "
        << otherCount << " neither (nothing to store), " << strayWrites << " stray writes, " << failures
        << " failed checks\n";
    for (const auto& [reason, count] : refused) {
        out << "[fuzz]   refused " << count << "  " << reason.toStdString() << "\n";
    }
    for (const auto& [what, count] : others) {
        out << "[fuzz]   " << count << "  " << what.toStdString() << "\n";
    }
    return out.str();
}
