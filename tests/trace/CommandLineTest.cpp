#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "tests/trace/TraceTestSupport.h"
#include "trace/TraceStore.h"

// The program's contract: usage, exit status, cycles, and that it never writes.

TEST_F(TraceTest, UsageErrorsEndWithStatusTwoAndAMessage) {
    struct Case {
        QStringList arguments;
        const char* message;
    };
    const Case cases[] = {
        {{}, "kein Befehl angegeben"},
        {{"list", "P24100030"}, "unbekannter Befehl \"list\""},
        {{"show"}, "show nimmt genau einen Code"},
        {{"show", "P24100030", "P24100031"}, "show nimmt genau einen Code"},
        {{"show", "--from", "codes.txt", "P24100030"}, "--from gehört zu where-used"},
        {{"where-used"}, "where-used braucht mindestens einen Code"},
        {{"where-used", "--from", "/nonexistent/codes.txt"}, "/nonexistent/codes.txt kann nicht gelesen werden"},
        {{"where-used", "P24100030", "--csv", "--json"}, "--csv und --json schließen einander aus"},
        {{"show", "P24100030", "--xml"}, "unbekannte Option \"--xml\""},
        {{"order"}, "order nimmt genau eine Auftragsnummer"},
        {{"order", "240101", "240102"}, "order nimmt genau eine Auftragsnummer"},
        {{"order", "240101", "--from", "codes.txt"}, "--from gehört zu where-used"},
        {{"order", "240101", "--svg", "order.svg"}, "--svg und --dot gehören zu show und where-used"},
        {{"show", "P24100030", "--svg"}, "nach --svg fehlt der Wert"},
        // A negative number is neither an order nor a row of one-letter options.
        {{"order", "-240101"}, "\"-240101\" ist weder ein Code noch eine Auftragsnummer"},
        {{"history"}, "history nimmt genau einen Code"},
        {{"recall"}, "recall braucht mindestens ein Kriterium"},
        {{"recall", "P24100030", "--article", "FM*"}, "recall nimmt keine Codes"},
        {{"recall", "--recorded", "2024-13-01.."}, "--recorded: \"2024-13-01..\" ist kein Datum"},
        {{"recall", "--codes", ".."}, "--codes braucht einen Bereich VON..BIS"},
        {{"show", "P24100030", "--article", "FM*"}, "die Kriterien (--article, --codes, …) gehören zu recall"},
        {{"show", "P24100030", "--xlsx", "a.xlsx"}, "--xlsx gehört zu recall"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const TraceRun run = RunTraceCommand(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, QString());
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("velkor-trace --help")));
    }
}

TEST_F(TraceTest, HelpDocumentsCommandsOutputsAndExitStatus) {
    const TraceRun run = RunTraceCommand({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* topic : {"show CODE",
                              "where-used CODE...",
                              "order PA",
                              "recall KRITERIEN",
                              "history CODE",
                              "--from",
                              "--csv",
                              "--json",
                              "--svg DATEI",
                              "--dot DATEI",
                              "--xlsx DATEI",
                              "--supplier",
                              "Graphviz",
                              "Rückgabewert",
                              "0  jeder Code",
                              "1  manche Codes",
                              "2  falscher Aufruf",
                              "3  keine Verbindung",
                              "4  Warnung",
                              "5  eine Bild",
                              "TestLogNew",
                              "Zyklus",
                              "schreibgeschützt"}) {
        EXPECT_TRUE(run.out.contains(QString::fromUtf8(topic))) << topic;
    }
}

TEST_F(TraceTest, ExitStatusTellsWhetherEveryCodeWasFound) {
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* firstLine;  // of the output; null: any, but there is output unless the status is 2
        const char* err = "";   // the error output begins with it; null: not looked at
    };
    const char* const notANumber =
        "velkor-trace: Die Produktionsauftragsnummer ist keine Zahl und wird nicht angenommen.\n";
    const Case cases[] = {
        {{"show", "P24100030"}, 0, "Genealogie von P24100030 (Produktionscode, Gerät 9030), Endprodukt Gerät 9030"},
        {{"show", "P99999999"}, 1, "P99999999: unbekannt"},
        {{"where-used", "P24100039", "FM24-00731"}, 0, "P24100039 (Produktionscode): TP-5610-A (Gerät 9039)"},
        {{"where-used", "P99999999", "P24100039"}, 1, "P99999999: unbekannt"},
        {{"order", "240101"}, 0, "Produktionsauftrag 240101: SG-5000-A, Steuergerät SG-5000 Grundausführung"},
        {{"order", " 240103 "}, 0, "Produktionsauftrag 240103: SG-5000-C, Steuergerät SG-5000 Kompaktausführung"},
        {{"order", "999999"}, 1, "Produktionsauftrag 999999: unbekannt"},
        {{"order", "240102"}, 0, nullptr},  // the order of the operating units: 9020, and 9038 built into 9030
        {{"order", "240104"}, 0, nullptr},  // in the ERP copy without any device
        {{"order", "240090"}, 0, nullptr},  // no longer in the ERP copy, named by the returned device 8950
        {{"order", "777777"}, 1, nullptr},  // named by nothing
        {{"order", "000240104"}, 0, "Produktionsauftrag 240104: NT-5200-A, Umrüstung Netzteil NT-5100 auf NT-5200"},
        // Order numbers get the refusals of the workstation's order field.
        {{"order", "24o101"}, 2, "", notANumber},
        {{"order", "-"}, 2, "", notANumber},
        {{"order", "99999999999"},
         2,
         "",
         "velkor-trace: Die Produktionsauftragsnummer ist als Zahl zu groß (höchstens 2147483647).\n"},
        {{"order", "123456789012345678901234567890123"},
         2,
         "",
         "velkor-trace: Die Produktionsauftragsnummer ist zu lang (33 Zeichen, höchstens 32 erlaubt).\n"},
        // A picture that cannot be written is named after the answer; nothing to draw is no picture.
        {{"show", "P24100030", "--svg", "/nonexistent/genealogie.svg"},
         5,
         "Genealogie von P24100030 (Produktionscode, Gerät 9030), Endprodukt Gerät 9030",
         "velkor-trace: /nonexistent/genealogie.svg kann nicht geschrieben werden: "},
        {{"where-used", "P24100035", "--dot", "/nonexistent/verwendung.dot"},
         5,
         "P24100035 (Produktionscode): RM-5120-A (Gerät 9034)",
         "velkor-trace: /nonexistent/verwendung.dot kann nicht geschrieben werden: "},
        {{"show", "P99999999", "--svg", "/nonexistent/genealogie.svg"}, 1, nullptr, ""},
        {{"where-used", "P99999999", "--svg", "/nonexistent/verwendung.svg"}, 1, nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const TraceRun run = RunTraceCommand(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        if (c.firstLine != nullptr) {
            EXPECT_EQ(run.out.section(QLatin1Char('\n'), 0, 0), QString::fromUtf8(c.firstLine));
        }
        EXPECT_EQ(run.out.isEmpty(), c.exitCode == 2);
        if (c.err != nullptr) {
            const QString err = QString::fromUtf8(c.err);
            EXPECT_EQ(err.isEmpty() ? run.err : run.err.left(err.size()), err) << run.err.toStdString();
        }
    }
}

TEST_F(TraceTest, CyclesEndWithAMessageNamingTheDevices) {
    struct Case {
        const char* name;
        int parentAssNr;
        int memberAssNr;
        QStringList arguments;
        const char* devices;
        const char* inAnswer = nullptr;  // what the answer says besides the cycle's line of the text outputs
    };
    const Case cases[] = {
        // 9030 (9504) built into its own sub-assembly 9038 (9512).
        {"two devices, show", 9512, 9504, {"show", "P24100039"}, "Gerät 9030 > Gerät 9038 > Gerät 9030"},
        {"two devices, where-used",
         9512,
         9504,
         {"where-used", "P24100039", "P24100031"},
         "Gerät 9030 > Gerät 9038 > Gerät 9030"},
        {"device in itself", 9504, 9504, {"show", "P24100030"}, "Gerät 9030 > Gerät 9030"},
        {"removed membership closing the ring",
         9513,
         9512,
         {"where-used", "P24100040"},
         "Gerät 9038 > Gerät 9039 > Gerät 9038"},
        // 9030 (9504) made a member of its own power supply 9035 (9509).
        {"power supply in its own product, show",
         9509,
         9504,
         {"show", "P24100036"},
         "Gerät 9030 > Gerät 9035 > Gerät 9030",
         "Endprodukt nicht bestimmbar"},
        {"power supply in its own product, where-used CSV",
         9509,
         9504,
         {"where-used", "P24100036", "--csv"},
         "Gerät 9030 > Gerät 9035 > Gerät 9030",
         "P24100036;production-code;9035;NT-5200-A;cycle;"},
        {"power supply in its own product, order keeps 9030",
         9509,
         9504,
         {"order", "240101"},
         "Gerät 9030 > Gerät 9035 > Gerät 9030",
         "SG-5000-A (Gerät 9030), Produktionscode P24100030, Seriennummer 240001, BESCHÄDIGT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetTestDatabase();
        AddMembership(c.parentAssNr, c.memberAssNr, c.memberAssNr == 9512 ? QStringLiteral("D0") : QStringLiteral("Z"));
        const TraceRun run = RunTraceCommand(c.arguments);
        EXPECT_EQ(run.exitCode, 4);
        EXPECT_EQ(run.err.count(QStringLiteral("Zyklus")), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.devices))) << run.err.toStdString();
        // The answer names it too: a damaged genealogy never looks clean.
        const QString named = c.inAnswer != nullptr ? QString::fromUtf8(c.inAnswer)
                                                    : QStringLiteral("BESCHÄDIGT: Zyklus in der Baugruppen-Tabelle: ") +
                                                          QString::fromUtf8(c.devices);
        EXPECT_TRUE(run.out.contains(named)) << run.out.toStdString();
    }
}

TEST_F(TraceTest, SessionIsReadOnlyAndQueriesWriteNothing) {
    const QStringList before = TraceabilityRows();
    RunTraceCommand({QStringLiteral("show"), QStringLiteral("P24100039")});
    RunTraceCommand({QStringLiteral("where-used"), QStringLiteral("P24100039"), QStringLiteral("P99999999")});
    RunTraceCommand({QStringLiteral("order"), QStringLiteral("240101"), QStringLiteral("--json")});
    RunTraceCommand({QStringLiteral("order"), QStringLiteral("24o101")});
    EXPECT_EQ(TraceabilityRows(), before);

    TraceStore store;
    ASSERT_TRUE(store.IsConnected()) << store.ConnectionError().toStdString();
    for (const char* write : {"INSERT INTO device (ValidFlag) VALUES (1)",
                              "UPDATE device_assembly SET OKFlag = 0 WHERE Device_Assembly = 9030",
                              "DELETE FROM device_productioncode WHERE ProductionCode = 'P24100030'"}) {
        SCOPED_TRACE(write);
        QSqlQuery query(store.Connection());
        EXPECT_FALSE(query.exec(QString::fromLatin1(write)));
        EXPECT_TRUE(query.lastError().text().contains(QStringLiteral("READ ONLY")))
            << query.lastError().text().toStdString();
    }
    EXPECT_EQ(TraceabilityRows(), before);
}

TEST_F(TraceTest, ProgramAnswersThroughItsExitStatusAndStreams) {
    // The program itself, as the quality department runs it; without a data source it cannot connect.
    const QString program = QStringLiteral(VELKOR_BINARY_DIR "/velkor-trace");
    ASSERT_TRUE(QFileInfo::exists(program)) << "build the target velkor-trace first";
    QTemporaryDir emptyOdbcFolder;
    struct Case {
        const char* name;
        QString odbcFolder;
        QStringList arguments;
        int exitCode;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        {"found",
         qEnvironmentVariable("ODBCSYSINI"),
         {"where-used", "DP77-310057"},
         0,
         "DP77-310057 (Fremdseriennummer): DP-5620-A (Gerät 9040)\n",
         ""},
        {"unknown", qEnvironmentVariable("ODBCSYSINI"), {"show", "P99999999"}, 1, "P99999999: unbekannt\n", ""},
        {"no data source",
         emptyOdbcFolder.path(),
         {"show", "P24100030"},
         3,
         "",
         "velkor-trace: keine Verbindung zur Datenbank (ODBC-Datenquelle TestLogNew): "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("ODBCSYSINI"), c.odbcFolder);
        process.setProcessEnvironment(environment);
        process.start(program, c.arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), c.exitCode);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        EXPECT_EQ(out.section(QLatin1Char('\n'), 0, 0, QString::SectionIncludeTrailingSep), QString::fromUtf8(c.out));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(err.left(QString::fromUtf8(c.err).size()), QString::fromUtf8(c.err)) << err.toStdString();
    }
}
