#pragma once

#include <QString>

// The error numbers and texts of the update client. Failures of the FTP library and of the server
// are mapped onto these numbers; numbers outside the table have no text of their own.

constexpr long kFtpErrorNone = 0;
constexpr long kFtpErrorOutOfHandles = 12001;
constexpr long kFtpErrorTimeout = 12002;
constexpr long kFtpErrorExtended = 12003;  // the server refused; its last response tells why
constexpr long kFtpErrorInternal = 12004;
constexpr long kFtpErrorInvalidUrl = 12005;
constexpr long kFtpErrorUnrecognizedScheme = 12006;
constexpr long kFtpErrorNameNotResolved = 12007;
constexpr long kFtpErrorLoginFailure = 12015;
constexpr long kFtpErrorOperationCancelled = 12017;
constexpr long kFtpErrorCannotConnect = 12029;
constexpr long kFtpErrorConnectionAborted = 12030;
constexpr long kFtpErrorConnectionReset = 12031;
constexpr long kFtpErrorUnmapped = -1;  // a failure that has no number of the table

// The text for an error number. For kFtpErrorExtended it is the server's last response, cut at a
// NUL character, or "Extended error returned from server." when there is none or it does not fit
// the 256-character response buffer. Numbers without a text give "Error details not available.".
QString FtpErrorText(long errorNumber, const QString& serverResponse = QString());

// The error number for a result code of libcurl (CURLcode); kFtpErrorNone for success.
long FtpErrorNumberForCurlCode(int curlCode);
