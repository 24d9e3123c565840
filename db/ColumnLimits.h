#pragma once

class AssemblyDbClass;

// The text columns that record scanned and entered values, and how many characters each of them holds in the
// connected database. A site database may define them with other lengths than db/schema.sql, so the lengths
// are read from the database itself (information_schema), once per process, through the shared connection.
class ColumnLimits {
public:
    enum class Column {
        ProductionCode,         // device_productioncode.ProductionCode
        SerialNumber,           // device_serialnumber.SerialNumber (own and external serial numbers)
        ProductionOrderNumber,  // device_productionordernumber.ProductionOrderNumber
        ProductCode,            // device_productcode.ProductCode (article numbers)
    };

    // The most characters the column holds; 0 when the database does not tell (then no length is checked,
    // and the database itself refuses what does not fit). A failed read raises the provider error and is
    // tried again at the next question.
    static int MaxLength(Column column);

    // Reads the lengths through the given connection instead of the shared one, for a program that keeps to a
    // session of its own (the read-only session of velkor-trace). A failed read raises the provider error.
    static void ReadThrough(AssemblyDbClass& db);

    // Forgets the lengths read, so the next question reads them again (after the columns were altered).
    static void Forget();
};
