#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/ScriptedDialogs.h"
#include "tests/tree/TestTexts.h"
#include "tree/IniFileClass.h"

namespace {

// A configuration file written byte for byte into a temporary folder.
class IniFileClassTest : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = folder_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    IniFileClass ReaderOf(const QByteArray& bytes) {
        IniFileClass ini;
        ini.SetIniPath(Write("ART-1.ini", bytes));
        return ini;
    }

    QTemporaryDir folder_;
};

}  // namespace

TEST_F(IniFileClassTest, ValueSyntaxListsCommasBlanksAndComments) {
    const IniFileClass ini = ReaderOf(
        "[Werte]\r\n"
        "Liste=A1, B2,C3,\r\n"
        "Einzeln=A1,\r\n"
        "Blanks=  vorne und hinten   \r\n"
        "Kommentar=3 *drei Eintraege*\r\n"
        "Mitte=AB*weg*CD\r\n"
        "Offen=XY*bis zum Ende\r\n"
        "Leer=\r\n");
    EXPECT_EQ(ini.GetFunctionParameterValue("Werte", "Liste").toStringList(), QStringList({"A1", " B2", "C3"}));
    const QVariant single = ini.GetFunctionParameterValue("Werte", "Einzeln");
    EXPECT_EQ(single.typeId(), QMetaType::QString);
    EXPECT_EQ(single.toString(), "A1");
    EXPECT_EQ(ini.GetFunctionParameterValue("Werte", "Blanks").toString(), "  vorne und hinten");
    EXPECT_EQ(ini.GetFunctionParameterValue("Werte", "Kommentar").toString(), "3");
    EXPECT_EQ(ini.GetFunctionParameterValue("Werte", "Mitte").toString(), "ABCD");
    EXPECT_EQ(ini.GetFunctionParameterValue("Werte", "Offen").toString(), "XY");
    EXPECT_EQ(ini.GetFunctionParameterValue("Werte", "Leer").toString(), "");
    // Only one trailing comma is dropped.
    EXPECT_EQ(ReaderOf("[W]\nK=A,,\n").GetFunctionParameterValue("W", "K").toStringList(), QStringList({"A", ""}));
}

TEST_F(IniFileClassTest, NamesMatchWithoutLetterCaseAndTheFirstKeyCounts) {
    const IniFileClass ini = ReaderOf(
        "Count=9\n"  // before any section: belongs to none
        "[andere]\n"
        "count=7\n"
        "  [ scanorder ]  \n"
        "  COUNT =2\n"
        "1=ERST\n"
        "1=ZWEIT\n"
        "kein Schluessel\n");
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "Count"), "2");
    EXPECT_EQ(ini.GetParameterText("SCANORDER", "count"), "2");
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "1"), "ERST");
    EXPECT_EQ(ini.GetParameterText("Andere", "Count"), "7");
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "2"), "");
    EXPECT_EQ(ini.GetParameterText("Fehlt", "Count"), "");
}

TEST_F(IniFileClassTest, MissingFileOrPathReadsEmpty) {
    IniFileClass withoutPath;
    EXPECT_EQ(withoutPath.GetFunctionParameterValue("ScanOrder", "Count").toString(), "");
    IniFileClass missing;
    missing.SetIniPath(folder_.filePath("GIBTESNICHT.ini"));
    EXPECT_EQ(missing.GetFunctionParameterValue("ScanOrder", "1").toString(), "");
    EXPECT_EQ(missing.GetNumberOfProdcodes(), 0);
}

TEST_F(IniFileClassTest, ReadsWindows1252AndUtf8WithByteOrderMark) {
    const IniFileClass ansi = ReaderOf(
        "[Text]\nName=Gr\xFC\xDF"
        "e \x80 \x84Z\x93\n");
    EXPECT_EQ(ansi.GetParameterText("Text", "Name"), QString::fromUtf8("Grüße € „Z“"));
    const IniFileClass utf8 = ReaderOf(
        "\xEF\xBB\xBF[Text]\nName=Gr\xC3\xBC\xC3\x9F"
        "e\n");
    EXPECT_EQ(utf8.GetParameterText("Text", "Name"), QString::fromUtf8("Grüße"));
}

TEST_F(IniFileClassTest, ValueIsCutAt1279Characters) {
    const QByteArray longValue(1500, 'x');
    const IniFileClass ini = ReaderOf("[L]\nK=" + longValue + "\n");
    EXPECT_EQ(ini.ReadProfileString("L", "K").size(), 1279);
    EXPECT_EQ(ini.GetParameterText("L", "K").size(), 1279);
}

TEST_F(IniFileClassTest, ListReadersAlwaysGiveAList) {
    const IniFileClass ini = ReaderOf(
        "[Pruefung]\n"
        "Funktionen=Spannung,Strom, Isolation\n"
        "Einzeln=Spannung\n"
        "=P1,P2\n"
        "[Einfach]\n"
        "Funktionen=Sichtpruefung\n");
    EXPECT_EQ(ini.GetTestFunctions("Pruefung"), QStringList({"Spannung", "Strom", " Isolation"}));
    const QStringList single = ini.GetTestFunctions("Einfach");
    ASSERT_EQ(single.size(), 1001);
    EXPECT_EQ(single.first(), "Sichtpruefung");
    EXPECT_EQ(single.count(QString()), 1000);
    EXPECT_EQ(ini.GetTestParamsArray("Pruefung", "Einzeln").size(), 1001);
    EXPECT_EQ(ini.GetParameterListOfFunktions("Pruefung").toStringList(), QStringList({"P1", "P2"}));
}

TEST_F(IniFileClassTest, ModuleCodesAndVersion) {
    ScriptedDialogs dialogs;
    const IniFileClass ini = ReaderOf("[ModulEigenschaften]\nProduktionsCodes=3 Stueck\n[INI]\nVersion=1.4 *neu*\n");
    EXPECT_EQ(ini.GetNumberOfProdcodes(), 3);
    EXPECT_EQ(ini.GetIniVersion(), "1.4");
    EXPECT_TRUE(dialogs.Messages().isEmpty());

    const IniFileClass withoutVersion = ReaderOf("[ModulEigenschaften]\nProduktionsCodes=x\n");
    EXPECT_EQ(withoutVersion.GetNumberOfProdcodes(), 0);
    EXPECT_EQ(withoutVersion.GetIniVersion(), "");
    EXPECT_EQ(dialogs.Messages(), QStringList({"fehlerhafter Versionseintrag in INI-Datei. Bitte korregieren !"}));
}

TEST_F(IniFileClassTest, EveryReadGoesToTheFileAgain) {
    IniFileClass ini = ReaderOf("[ScanOrder]\nCount=1\n");
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "Count"), "1");
    Write("ART-1.ini", "[ScanOrder]\nCount=4\n");
    EXPECT_EQ(ini.GetParameterText("ScanOrder", "Count"), "4");
}
