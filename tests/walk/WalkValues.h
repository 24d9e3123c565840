#pragma once

#include <QString>
#include <QStringList>
#include <random>

// The values a worker scans and types during the walk: new production codes and serial numbers, values the
// database holds already (own, of other assemblies, of tested-failed devices), and their near misses (other
// letter case, blanks before or after, too long, wrong format). Recorded values are read from the database
// with bound statements of the tests' own connection.
class WalkValues {
public:
    explicit WalkValues(std::mt19937& random) : random_(random) {}

    int Below(int bound) { return bound <= 1 ? 0 : std::uniform_int_distribution<int>(0, bound - 1)(random_); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T>
    const T& Pick(const QList<T>& list) {
        return list.at(Below(static_cast<int>(list.size())));
    }

    // A value from the scanner (it sends production codes; anything else reaches the capture the same way).
    QString ScanValue();
    // A value typed into the box of the double-click: production codes, serial numbers, supplier serials.
    QString EntryValue();
    // A value for "Gerät anzeigen": mostly recorded ones.
    QString ShowValue();
    // A production order number for the order field.
    QString OrderValue();
    // What the worker types into an input box with this title and prompt.
    QString InputFor(const QString& title, const QString& prompt);
    // The password typed: the right one most of the time.
    QString Password(const QString& right);
    // A value for a record editor of production codes (prodCodes) or serial numbers.
    QString EditorValue(bool prodCodes);

    QString FreshProdCode();
    QString FreshSerNr();
    QString FreshExtSerNr();
    // A production code that is a serial number by its format too ("P" and five digits): recorded or new.
    QString BothFormatsValue();
    // A production code of a device that heads an assembly of its own and stands in no other: a final product, a
    // device taken out of its assembly, a pre-assembled part.
    QString FreeAssemblyCode();

    // The passwords of the rework.
    static QString ConversionPassword() { return QStringLiteral("qorv"); }
    static QString MovePassword() { return QStringLiteral("58047m"); }
    static QString EditorPassword() { return QStringLiteral("Rk2Wq9TzLm4Xc7VbN1sD"); }

private:
    QString RecordedProdCode();
    QString RecordedSerNr(bool external);
    // The value with another letter case, a blank before or after, or cut.
    QString NearMiss(const QString& value);

    std::mt19937& random_;
    int fresh_ = 0;
};
