#include "tests/walk/WalkValues.h"

#include "tests/support/TestDatabase.h"

namespace {

// Demo devices with a story (see demo/README.md): tested, tested-failed and untested display modules, power
// supplies converted by the ERP history or not, a component of a pre-assembled operating unit, components of
// the finished control unit 9030 and of the returned one 8950.
const QStringList kStoryCodes = {"P24100001", "P24100002", "P24100003", "P24100010", "P24100011",
                                 "P24100020", "P24100021", "P24100022", "P24100030", "P24100031",
                                 "P24100036", "P24100038", "P24100039", "P24100050", "P24100051"};
const QStringList kStorySerNrs = {"240001",      "310020",     "S0A1B2C3D", "S0A1B2C4E",
                                  "DP77-310042", "FM24-00731", "230050",    "S4E5F6A7B"};
const QStringList kOrders = {"240101", "240101", "240101", "240101", "240102", "240102",  "240103", "240103",
                             "240104", "240109", "249999", "",       "24A101", " 240101", "240101 "};

}  // namespace

QString WalkValues::FreshProdCode() {
    return QStringLiteral("P25%1").arg(++fresh_, 6, 10, QLatin1Char('0'));
}

QString WalkValues::FreshSerNr() {
    return Chance(50) ? QStringLiteral("25%1").arg(++fresh_ % 10000, 4, 10, QLatin1Char('0'))
                      : QStringLiteral("S25%1").arg(++fresh_, 6, 16, QLatin1Char('0')).toUpper();
}

QString WalkValues::FreshExtSerNr() {
    return QStringLiteral("%1-%2").arg(Chance(50) ? QStringLiteral("FM25") : QStringLiteral("dp77")).arg(++fresh_);
}

QString WalkValues::BothFormatsValue() {
    const QStringList recorded =
        QueryTestRows(QStringLiteral("SELECT ProductionCode FROM device_productioncode WHERE ProductionCode REGEXP "
                                     "'^P[0-9][0-9][0-9][0-9][0-9]$' ORDER BY ID"));
    if (!recorded.isEmpty() && Chance(75)) {
        return Pick(recorded);
    }
    // Few of them, so that the same value comes again.
    return QStringLiteral("P25%1").arg(Below(20), 3, 10, QLatin1Char('0'));
}

QString WalkValues::FreeAssemblyCode() {
    const QStringList free = QueryTestRows(
        QStringLiteral(
            "SELECT p.ProductionCode FROM device_productioncode p JOIN device_assembly a ON "
            "a.Device_Assembly = p.DeviceID AND a.AssemblyType = ? WHERE NOT EXISTS (SELECT 1 FROM "
            "device_assembly z WHERE z.Device_Assembly = a.AssemblyNum AND z.AssemblyType = ?) ORDER BY p.ID"),
        {QStringLiteral("A"), QStringLiteral("Z")});
    return free.isEmpty() ? RecordedProdCode() : Pick(free);
}

QString WalkValues::RecordedProdCode() {
    const QStringList codes = QueryTestRows(
        QStringLiteral(
            "SELECT ProductionCode FROM device_productioncode WHERE DeviceID > ? ORDER BY DeviceID, ProductionCode"),
        {9040});
    if (codes.isEmpty() || Chance(40)) {
        return Pick(kStoryCodes);
    }
    return Pick(codes);
}

QString WalkValues::RecordedSerNr(bool external) {
    const QStringList serNrs = QueryTestRows(
        QStringLiteral(
            "SELECT SerialNumber FROM device_serialnumber WHERE ExtFlag = ? ORDER BY DeviceID, SerialNumber"),
        {external ? QStringLiteral("1") : QStringLiteral("0")});
    if (serNrs.isEmpty() || Chance(30)) {
        return Pick(kStorySerNrs);
    }
    return Pick(serNrs);
}

QString WalkValues::NearMiss(const QString& value) {
    switch (Below(6)) {
        case 0:
            return value.toLower();
        case 1:
            return value.toUpper() == value ? value.toLower() : value.toUpper();
        case 2:
            return value + QLatin1Char(' ');
        case 3:
            return QLatin1Char(' ') + value;
        case 4:
            return value + QString(70, QLatin1Char('7'));  // longer than the column
        default:
            return value.left(qMax(1, static_cast<int>(value.size()) - 3));
    }
}

QString WalkValues::ScanValue() {
    const int roll = Below(100);
    if (roll < 40) {
        return FreshProdCode();
    }
    if (roll < 45) {
        return BothFormatsValue();
    }
    if (roll < 75) {
        return RecordedProdCode();
    }
    if (roll < 85) {
        return NearMiss(Chance(70) ? RecordedProdCode() : FreshProdCode());
    }
    if (roll < 93) {
        return Chance(50) ? RecordedSerNr(Chance(50)) : FreshSerNr();
    }
    return Pick(QStringList{"", " ", "P123", "XYZ", "P2410000A", "P 24100001"});
}

QString WalkValues::EntryValue() {
    const int roll = Below(100);
    if (roll < 22) {
        return FreshExtSerNr();
    }
    if (roll < 35) {
        return FreshSerNr();
    }
    if (roll < 48) {
        return RecordedSerNr(Chance(60));
    }
    if (roll < 57) {
        return NearMiss(RecordedSerNr(Chance(70)));
    }
    if (roll < 65) {
        return RecordedSerNr(false).toLower();  // an own serial number typed in small letters
    }
    if (roll < 80) {
        return BothFormatsValue();
    }
    if (roll < 88) {
        return ScanValue();
    }
    return Pick(QStringList{"", "   ", "FM24-00731 ", "fm24-00731", "dp77-310057", "x"});
}

QString WalkValues::ShowValue() {
    const int roll = Below(100);
    if (roll < 50) {
        return RecordedProdCode();
    }
    if (roll < 75) {
        return RecordedSerNr(Chance(30));
    }
    if (roll < 85) {
        return NearMiss(RecordedProdCode());
    }
    return Pick(QStringList{"", "P99999999", "XYZ", FreshProdCode()});
}

QString WalkValues::OrderValue() {
    return Pick(kOrders);
}

QString WalkValues::InputFor(const QString& title, const QString& prompt) {
    if (title == QStringLiteral("Produktionscode Eingabe")) {
        const int roll = Below(100);
        if (roll < 55) {
            return FreshProdCode();
        }
        if (roll < 70) {
            return RecordedProdCode();
        }
        if (roll < 85) {
            return QString();  // Cancel
        }
        return Pick(QStringList{"123", "P1", NearMiss(FreshProdCode()), "FM25-1"});
    }
    if (title == QStringLiteral("Seriennummer Eingabe")) {
        const bool external = prompt.contains(QStringLiteral("Fremdseriennummer"));
        const int roll = Below(100);
        if (roll < 55) {
            return external ? FreshExtSerNr() : FreshSerNr();
        }
        if (roll < 70) {
            return RecordedSerNr(Chance(external ? 70 : 30));
        }
        if (roll < 80) {
            return NearMiss(RecordedSerNr(external));
        }
        if (roll < 90) {
            return QString();
        }
        return Pick(QStringList{"12", "abc", "S123", NearMiss(FreshSerNr())});
    }
    if (title == QStringLiteral("Produktions- Seriennummern Eingabe")) {
        return ShowValue();
    }
    if (title == QStringLiteral("Produktionscode/Serinnummer Eingabe")) {
        return EntryValue();
    }
    return QString();
}

QString WalkValues::Password(const QString& right) {
    const int roll = Below(100);
    if (roll < 70) {
        return right;
    }
    if (roll < 80) {
        return QString();
    }
    if (roll < 90) {
        return right.toUpper();
    }
    return Pick(QStringList{ConversionPassword(), MovePassword(), EditorPassword(), "1234"});
}

QString WalkValues::EditorValue(bool prodCodes) {
    const int roll = Below(100);
    if (roll < 50) {
        return prodCodes ? FreshProdCode() : (Chance(50) ? FreshSerNr() : FreshExtSerNr());
    }
    if (roll < 80) {
        return prodCodes ? RecordedProdCode() : RecordedSerNr(Chance(50));  // a deliberate duplicate
    }
    if (roll < 90) {
        return NearMiss(prodCodes ? RecordedProdCode() : RecordedSerNr(false));
    }
    return QString();
}
