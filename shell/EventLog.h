#pragma once

#include <QByteArray>
#include <QString>

// Informational entries in the system log (syslog), so that an administrator can see when the main
// window was loaded, activated and closed. Fire and forget: nothing reads the entries back, and a
// failure to write one is only visible in the return value.
//
// An entry is sent to the system logger's socket (/dev/log, or the socket named by the environment
// variable VELKOR_EVENT_LOG_SOCKET, which the tests point at a private one) under the identifier
// "BRENVIK Velkor Tool", facility user, and reads, after the syslog header:
//   [EventID 1] ...<CR><LF><message>
// The event ID (and the category, when it is not 0: "[EventID 1, Category 3] ") leads the text, so
// that the entries can be filtered by it. The text is sent in UTF-8.

// The socket the entries are sent to.
QString EventLogSocketPath();
// True when a system logger listens at that socket (nothing is sent).
bool EventLogTakesEntries();

// The source, type, category and ID of every entry this program writes.
extern const char kEventLogSource[];
constexpr quint16 kEventLogTypeError = 1;
constexpr quint16 kEventLogTypeWarning = 2;
constexpr quint16 kEventLogTypeInformation = 4;
constexpr quint16 kEventLogCategory = 0;
constexpr quint16 kEventLogEventId = 1;

// Writes one informational entry with event ID 1 and category 0 under kEventLogSource.
// Returns true when the entry was handed to the system logger.
bool LogEvent(const QString& message);

// The general writer under LogEvent. Puts "..." and a line break (CR LF) in front of the message,
// also in the caller's variable, whether or not the entry can be written. Returns true when the
// system logger accepted the entry; false, without any message, when there is no system logger.
bool WriteEventLog(const QString& source, quint16 type, quint16 eventId, quint16 category, QString& message);

// "..." + CR LF + message: the text of an entry.
QString EventLogText(const QString& message);

// The bytes of an entry as they follow the syslog header: the event marker, then the text in UTF-8.
QByteArray EventLogEntry(quint16 eventId, quint16 category, const QString& text);

// The syslog level of an event type: error and warning keep their level, every other type
// (information, audit success, audit failure) is informational.
int EventLogLevel(quint16 type);
