#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <QSysInfo>
#include <QTemporaryDir>
#include <cstring>

#include "rework/DeviceRecordsModel.h"
#include "tests/rework/ReworkTestHost.h"

namespace {

using Col = DeviceRecordsModel::Column;

// The rows of a model as "value|device", without the new-row line.
QStringList RowsOf(const DeviceRecordsModel& model) {
    QStringList rows;
    for (int row = 0; row < model.NewRowLine(); ++row) {
        rows.append(model.index(row, Col::ValueColumn).data().toString() + "|" +
                    model.index(row, Col::DeviceIdColumn).data().toString());
    }
    return rows;
}

QStringList CodesInDatabase(qint32 devId) {
    return QueryTestRows(
        "SELECT ProductionCode, LENGTH(ProductionCode) FROM device_productioncode WHERE DeviceID = ? "
        "ORDER BY CreationDate, ProductionCode",
        {devId});
}

using ReworkRecordsModelTest = ReworkTest;

}  // namespace

TEST_F(ReworkRecordsModelTest, ShowsTheRowsOfOneRecordedDevice) {
    const qint32 orphan = 99999;  // rows of a device that is not recorded are not shown
    ExecTestSql("INSERT INTO device_productioncode (DeviceID, ProductionCode) VALUES (?, 'P24777777')", {orphan});
    const struct {
        RecordKind kind;
        qint32 devId;
        QStringList rows;
        QString caption, valueHeader;
    } cases[] = {
        {RecordKind::ProductionCodes,
         9031,
         {"P24100031|9031", "P24100032|9031"},
         "device_productioncode",
         "Produktionscode"},
        {RecordKind::SerialNumbers, 9030, {"240001|9030"}, "device_Serial", "Seriennummer"},
        {RecordKind::SerialNumbers, 9036, {"FM24-00731|9036"}, "device_Serial", "Seriennummer"},
        {RecordKind::ProductionCodes, orphan, {}, "device_productioncode", "Produktionscode"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.devId);
        DeviceRecordsModel model(c.kind);
        model.SetDevId(c.devId);
        EXPECT_EQ(RowsOf(model), c.rows);
        EXPECT_EQ(model.rowCount(), c.rows.size() + 1);  // and the new-row line
        EXPECT_EQ(model.Caption(), c.caption);
        QStringList headers;
        for (int column = 0; column < model.columnCount(); ++column) {
            headers.append(model.headerData(column, Qt::Horizontal).toString());
        }
        EXPECT_EQ(headers, QStringList({c.valueHeader, "Eintragungsdatum", "DeviceId"}));
    }
}

TEST_F(ReworkRecordsModelTest, WritesOnlyRowsOfTheShownDeviceAndNothingOfARefusedChange) {
    const QStringList original = CodesInDatabase(9031);
    const QString refusedDevice =
        "Die Änderung wurde nicht gespeichert: In diesem Fenster können nur Einträge des Geräts 9031 geändert werden "
        "(eingetragene DeviceId: 9032).";
    const struct {
        const char* name;
        std::vector<std::tuple<int, int, QVariant>> edits;  // row (-1: new-row line), column, value
        bool saved;
        QStringList codes;                // in the database afterwards
        QString message;                  // beginning of the message shown
        const char* meanwhile = nullptr;  // written by another workstation after the rows were read
    } cases[] = {
        {"new row", {{-1, Col::ValueColumn, "P24300001"}}, true, original + QStringList{"P24300001|9"}, ""},
        {"changed value", {{0, Col::ValueColumn, "P24300002"}}, true, {"P24300002|9", original[1]}, ""},
        {"moved to another device", {{0, Col::DeviceIdColumn, 9032}}, false, original, refusedDevice},
        {"new row for another device",
         {{-1, Col::ValueColumn, "P24300003"}, {2, Col::DeviceIdColumn, 9032}},
         false,
         original,
         refusedDevice},
        {"code twice on the device",
         {{-1, Col::ValueColumn, "P24300004"}, {-1, Col::ValueColumn, "P24100032"}},
         false,
         original,
         "Data error event hit err:"},
        {"row changed meanwhile",
         {{0, Col::ValueColumn, "P24300005"}},
         false,
         {"P24399999|9", original[1]},
         "Ein Eintrag des Geräts 9031 wurde inzwischen an einem anderen Arbeitsplatz geändert",
         "UPDATE device_productioncode SET ProductionCode = 'P24399999' WHERE ProductionCode = 'P24100031'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetTestDatabase();
        DeviceRecordsModel model(RecordKind::ProductionCodes);
        model.SetDevId(9031);
        for (const auto& [row, column, value] : c.edits) {
            const int target = row < 0 ? model.NewRowLine() : row;
            ASSERT_TRUE(model.setData(model.index(target, column), value));
            if (column != Col::DeviceIdColumn) {
                // A typed value makes the row one of the shown device before anything is written.
                EXPECT_EQ(model.index(target, Col::DeviceIdColumn).data().toInt(), 9031);
            }
        }
        if (c.meanwhile != nullptr) {
            ExecTestSql(c.meanwhile);
        }
        EXPECT_EQ(model.SaveChanges(), c.saved);
        EXPECT_EQ(CodesInDatabase(9031), c.codes);
        EXPECT_FALSE(model.HasPendingChanges());
        EXPECT_EQ(RowsOf(model).size(), c.codes.size());  // read again in every case
        const QStringList messages = TakeMessages();
        if (c.message.isEmpty()) {
            EXPECT_EQ(messages, QStringList());
        } else {
            ASSERT_EQ(messages.size(), 1);
            EXPECT_TRUE(messages[0].startsWith(c.message)) << messages[0].toStdString();
            EXPECT_FALSE(messages[0].contains("Pmex514"));
        }
    }
    EXPECT_TRUE(CodesInDatabase(9032).size() == 1);
}

TEST_F(ReworkRecordsModelTest, AChangeFindsItsRowByEveryColumnAndChangesOneRowOnly) {
    const QString first = "|2024-03-04 05:06:07.000001", second = "|2024-03-04 05:06:07.000002";
    const struct {
        const char* name;
        QStringList rows;  // serial|flag|entry date of device 9011, in the shown order
        int deleted;       // the row deleted after the edits (-1: none), which saves them
        struct Edit {
            int row;
            QString value;
            int column = Col::ValueColumn;
        };
        std::vector<Edit> edits;  // cells given a new value, saved together
        QStringList after;
    } cases[] = {
        {"deleting one of two copies", {"S-K|0" + first, "S-K|0" + first}, 0, {}, {"S-K|0" + first}},
        {"changing one of two copies",
         {"S-K|0" + first, "S-K|0" + first},
         -1,
         {{1, "S-L"}},
         {"S-K|0" + first, "S-L|0" + first}},
        {"entries a microsecond apart",
         {"S-M|0" + first, "S-M|0" + second},
         -1,
         {{1, "S-N"}},
         {"S-M|0" + first, "S-N|0" + second}},
        // The first change makes the first row look like the second as it was read, apart from the flag.
        {"rows that differ in their flag keep it",
         {"S-A|0" + first, "S-B|1" + first},
         -1,
         {{0, "S-B"}, {1, "S-C"}},
         {"S-B|0" + first, "S-C|1" + first}},
        // The edit moves the row behind the other one once the rows are read again: the deleted row is still the
        // one chosen.
        {"deleting a row with a pending edit",
         {"SN-A|0|2024-01-01 00:00:00.000000", "SN-B|0|2024-02-01 00:00:00.000000"},
         0,
         {{0, "2024-03-01", Col::DateColumn}},
         {"SN-B|0|2024-02-01 00:00:00.000000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetTestDatabase();
        for (const QString& row : c.rows) {
            const QStringList columns = row.split('|');
            ExecTestSql(
                "INSERT INTO device_serialnumber (DeviceID, SerialNumber, ExtFlag, CreationDate) VALUES (9011, ?, ?, "
                "?)",
                {columns[0], columns[1], columns[2]});
        }
        DeviceRecordsModel model(RecordKind::SerialNumbers);
        model.SetDevId(9011);
        ASSERT_EQ(model.NewRowLine(), c.rows.size());
        for (const auto& edit : c.edits) {
            ASSERT_TRUE(model.setData(model.index(edit.row, edit.column), edit.value));
        }
        if (c.deleted >= 0) {
            EXPECT_TRUE(model.DeleteRow(c.deleted));
        }
        EXPECT_TRUE(model.SaveChanges());
        EXPECT_EQ(QueryTestRows("SELECT SerialNumber, ExtFlag, CAST(CreationDate AS CHAR) FROM device_serialnumber "
                                "WHERE DeviceID = 9011 ORDER BY CreationDate, SerialNumber, ExtFlag"),
                  c.after);
        EXPECT_EQ(RowsOf(model).size(), c.after.size());
    }
}

TEST_F(ReworkRecordsModelTest, DeletingARowMarksTheDeviceNotComplete) {
    ASSERT_EQ(OkFlagOf(9030), 1);
    DeviceRecordsModel model(RecordKind::SerialNumbers);
    model.SetDevId(9030);
    EXPECT_TRUE(model.DeleteRow(0));
    EXPECT_EQ(RowsOf(model), QStringList());
    EXPECT_EQ(CountTestRows("device_serialnumber", "DeviceID = 9030"), 0);
    EXPECT_EQ(OkFlagOf(9030), 0);

    // Nothing left to delete: the worker is told so.
    EXPECT_FALSE(model.DeleteRow(model.NewRowLine()));
    EXPECT_EQ(TakeMessages(), QStringList({"Es ist kein Datensatz ausgewählt, der gelöscht werden kann."}));
}

// A correction leaves one entry in the event log with the workstation, the user, the device and each old and new
// value; a refused change leaves none. The test plays the system logger on a socket of its own.
TEST_F(ReworkRecordsModelTest, EveryKeptCorrectionIsLoggedWithOldAndNewValues) {
    QTemporaryDir folder;
    const QByteArray path = folder.filePath(QStringLiteral("log.sock")).toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int logger = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::bind(logger, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    qputenv("VELKOR_EVENT_LOG_SOCKET", path);
    const auto entries = [&] {
        QStringList received;
        pollfd ready{logger, POLLIN, 0};
        while (::poll(&ready, 1, 300) > 0) {
            char data[4096];
            const ssize_t size = ::recv(logger, data, sizeof(data), 0);
            received.append(QString::fromUtf8(data, static_cast<int>(qMax<ssize_t>(size, 0))));
        }
        return received;
    };

    DeviceRecordsModel model(RecordKind::SerialNumbers);
    model.SetDevId(9030);
    ASSERT_TRUE(model.setData(model.index(0, Col::ValueColumn), QStringLiteral("240099")));
    ASSERT_TRUE(model.SaveChanges());
    QStringList logged = entries();
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].contains("Korrektur device_Serial geändert: Arbeitsplatz " + QSysInfo::machineHostName()));
    EXPECT_TRUE(logged[0].contains("Gerät 9030; 240001|2024-10-07 08:25:00"));
    EXPECT_TRUE(logged[0].contains(" -> 240099|")) << logged[0].toStdString();

    ASSERT_TRUE(model.setData(model.index(0, Col::DeviceIdColumn), QStringLiteral("9031")));  // refused
    EXPECT_FALSE(model.SaveChanges());
    EXPECT_TRUE(model.DeleteRow(0));
    logged = entries();
    ASSERT_EQ(logged.size(), 1) << "the refused change is not logged";
    EXPECT_TRUE(logged[0].contains("Korrektur device_Serial gelöscht")) << logged[0].toStdString();
    EXPECT_TRUE(logged[0].contains("240099|") && logged[0].contains(" -> gelöscht"));
    EXPECT_FALSE(logged.join(' ').contains("Pmex514"));
    TakeMessages();
    qunsetenv("VELKOR_EVENT_LOG_SOCKET");
    ::close(logger);
}
