#include "shell/FtpErrorText.h"

#include <curl/curl.h>

namespace {

// Room of the server response, including its terminating NUL.
constexpr qsizetype kResponseBufferChars = 256;

const char* TableText(long errorNumber) {
    switch (errorNumber) {
        case 12001:
            return "No more handles could be generated at this time";
        case 12002:
            return "The request has timed out.";
        case 12004:
            return "An internal error has occurred.";
        case 12005:
            return "URL is invalid.";
        case 12006:
            return "URL scheme could not be recognized, "
                   "or is not supported.";
        case 12007:
            return "Server name could not be resolved.";
        case 12008:
            return "Requested protocol could not be located.";
        case 12009:
            return "A request to InternetQueryOption or "
                   "InternetSetOption specified an invalid option value.";
        case 12010:
            return "Length of an option supplied to InternetQueryOption "
                   "or InternetSetOption is incorrect for the type "
                   "of option specified.";
        case 12011:
            return "The request option can not be set, only queried. ";
        case 12012:
            return "The Win32 Internet support is being shutdown or unloaded.";
        case 12013:
            return "Request to connect and login to an FTP server could not"
                   "be completed because the supplied user name is incorrect.";
        case 12014:
            return "Request to connect and login to an FTP server could not "
                   "be completed because the supplied password is incorrect. ";
        case 12015:
            return "Request to connect to and login to an FTP server failed.";
        case 12016:
            return "Requested operation is invalid. ";
        case 12017:
            return "Operation was cancelled, usually because the handle on "
                   "which the request was operating was closed before the "
                   "operation completed.";
        case 12018:
            return "Type of handle supplied is incorrect for this operation.";
        case 12019:
            return "Requested operation can not be carried out because the "
                   "handle supplied is not in the correct state.";
        case 12020:
            return "Request can not be made via a proxy.";
        case 12021:
            return "A required registry value could not be located. ";
        case 12022:
            return "A required registry value was located but is an "
                   "incorrect type or has an invalid value.";
        case 12023:
            return "Direct network access cannot be made at this time. ";
        case 12024:
            return "An asynchronous request could not be made because "
                   "a zero context value was supplied.";
        case 12025:
            return "An asynchronous request could not be made because "
                   "a callback function has not been set.";
        case 12026:
            return "The required operation could not be completed "
                   "because one or more requests are pending.";
        case 12027:
            return "The format of the request is invalid.";
        case 12028:
            return "The requested item could not be located.";
        case 12029:
            return "The attempt to connect to the server failed.";
        case 12030:
            return "The connection with the server has been terminated.";
        case 12031:
            return "The connection with the server has been reset.";
        case 12036:
            return "The request failed because the handle already exists.";
        default:
            return nullptr;
    }
}

}  // namespace

QString FtpErrorText(long errorNumber, const QString& serverResponse) {
    if (errorNumber == kFtpErrorExtended) {
        const qsizetype nul = serverResponse.indexOf(QChar(u'\0'));
        const QString response = nul < 0 ? serverResponse : serverResponse.left(nul);
        if (response.isEmpty() || serverResponse.size() >= kResponseBufferChars) {
            return QStringLiteral("Extended error returned from server.");
        }
        return response;
    }
    const char* text = TableText(errorNumber);
    return text != nullptr ? QString::fromLatin1(text) : QStringLiteral("Error details not available.");
}

long FtpErrorNumberForCurlCode(int curlCode) {
    switch (static_cast<CURLcode>(curlCode)) {
        case CURLE_OK:
            return kFtpErrorNone;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return kFtpErrorUnrecognizedScheme;
        case CURLE_FAILED_INIT:
            return kFtpErrorInternal;
        case CURLE_URL_MALFORMAT:
            return kFtpErrorInvalidUrl;
        case CURLE_COULDNT_RESOLVE_HOST:
            return kFtpErrorNameNotResolved;
        case CURLE_COULDNT_CONNECT:
        case CURLE_FTP_CANT_GET_HOST:
            return kFtpErrorCannotConnect;
        case CURLE_OPERATION_TIMEDOUT:
            return kFtpErrorTimeout;
        case CURLE_LOGIN_DENIED:
            return kFtpErrorLoginFailure;
        case CURLE_ABORTED_BY_CALLBACK:
            return kFtpErrorOperationCancelled;
        // The server answered with a refusal: its response says why.
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_FTP_WEIRD_PASS_REPLY:
        case CURLE_FTP_WEIRD_PASV_REPLY:
        case CURLE_FTP_WEIRD_227_FORMAT:
        case CURLE_FTP_COULDNT_SET_TYPE:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_QUOTE_ERROR:
        case CURLE_FTP_PORT_FAILED:
        case CURLE_FTP_COULDNT_USE_REST:
        case CURLE_REMOTE_FILE_NOT_FOUND:
            return kFtpErrorExtended;
        // The transfer broke off.
        case CURLE_PARTIAL_FILE:
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
            return kFtpErrorConnectionAborted;
        case CURLE_SEND_ERROR:
            return kFtpErrorConnectionReset;
        default:
            return kFtpErrorUnmapped;
    }
}
