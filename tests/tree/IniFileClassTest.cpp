#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/ScriptedDialogs.h"
#include "tests/tree/TreeTestData.h"
#include "tree/IniFileClass.h"

namespace {

IniFileClass ReaderOf(const QTemporaryDir& folder, const QByteArray& bytes) {
    QFile file(folder.filePath("ART-1.ini"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    IniFileClass ini;
    ini.SetIniPath(file.fileName());
    return ini;
}

}  // namespace

static void PrintTo(const QVariant& value, std::ostream* out) {
    *out << value.typeName() << ' ' << value.toStringList().join('|').toStdString();
}

TEST(IniFileClassTest, ReadsValuesOfARealFile) {
    ScriptedDialogs dialogs;
    QTemporaryDir folder;
    const IniFileClass ini =
        ReaderOf(folder,
                 "Count=9\r\n"  // before any section: belongs to none
                 "[Werte]\r\nListe=A1, B2,C3,\r\nEinzeln=A1,\r\nZwei=A,,\r\n"
                 "Blanks=  vorne und hinten   \r\nKommentar=3 *drei Eintraege*\r\n"
                 "Mitte=AB*weg*CD\r\nOffen=XY*bis zum Ende\r\nName=Gr\xFC\xDF"
                 "e \x80\r\n"
                 "[andere]\ncount=7\n  [ scanorder ]  \n  COUNT =2\n1=ERST\n1=ZWEIT\nkein Schluessel\n"
                 "[ModulEigenschaften]\nProduktionsCodes=3 Stueck\n[INI]\nVersion=1.4 *neu*\n");
    const struct {
        const char *section, *key;
        QVariant value;
    } cases[] = {
        {"Werte", "Liste", QStringList({"A1", " B2", "C3"})},  // one trailing comma dropped, blanks kept
        {"Werte", "Einzeln", "A1"},
        {"Werte", "Zwei", QStringList({"A", ""})},
        {"Werte", "Blanks", "  vorne und hinten"},
        {"Werte", "Kommentar", "3"},
        {"Werte", "Mitte", "ABCD"},
        {"Werte", "Offen", "XY"},
        {"Werte", "Name", QString::fromUtf8("Grüße €")},  // Windows-1252
        {"ScanOrder", "Count", "2"},
        {"SCANORDER", "count", "2"},
        {"ScanOrder", "1", "ERST"},  // the first key counts
        {"Andere", "Count", "7"},
        {"ScanOrder", "2", ""},
        {"Fehlt", "Count", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ini.GetFunctionParameterValue(c.section, c.key), c.value) << c.section << '/' << c.key;
    }
    EXPECT_EQ(ini.GetNumberOfProdcodes(), 3);
    EXPECT_EQ(ini.GetIniVersion(), "1.4");
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST(IniFileClassTest, MissingFileReadsEmptyAndAByteOrderMarkMeansUtf8) {
    ScriptedDialogs dialogs;
    QTemporaryDir folder;
    IniFileClass missing;
    missing.SetIniPath(folder.filePath("GIBTESNICHT.ini"));
    EXPECT_EQ(missing.GetFunctionParameterValue("ScanOrder", "1"), QVariant(QString()));
    EXPECT_EQ(missing.GetNumberOfProdcodes(), 0);
    EXPECT_EQ(missing.GetIniVersion(), "");
    EXPECT_EQ(dialogs.Messages(), QStringList({"fehlerhafter Versionseintrag in INI-Datei. Bitte korregieren !"}));

    const IniFileClass utf8 = ReaderOf(folder,
                                       "\xEF\xBB\xBF[Text]\nName=Gr\xC3\xBC\xC3\x9F"
                                       "e\n");
    EXPECT_EQ(utf8.GetParameterText("Text", "Name"), QString::fromUtf8("Grüße"));
}

TEST(IniFileClassTest, KeptContentAnswersUntilAnotherFileIsNamed) {
    ScriptedDialogs dialogs;
    QTemporaryDir folder;
    IniFileClass ini = ReaderOf(folder, "[ScanOrder]\r\nCount=2\r\n1=LP\r\n");
    const QString path = ini.IniPath();
    const auto rewrite = [&](const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    // Without KeepContent every read sees the file as it is now.
    rewrite("[ScanOrder]\r\nCount=3\r\n");
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "Count"), "3");

    ini.KeepContent();
    rewrite("[ScanOrder]\r\nCount=4\r\n1=RM\r\n");
    const struct {
        const char* key;
        const char* value;
    } kept[] = {{"Count", "3"}, {"1", ""}, {"count", "3"}};
    for (const auto& c : kept) {
        EXPECT_EQ(ini.GetParameterText("ScanOrder", c.key), c.value) << c.key;
    }
    // Naming the file again reads it again.
    ini.SetIniPath(path);
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "Count"), "4");
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "1"), "RM");
    // A missing file kept is the empty text.
    ini.SetIniPath(folder.filePath("missing.ini"));
    ini.KeepContent();
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "Count"), "");
}
