#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// One thing a worker or supervisor does at the workstation, with every random choice resolved, so that it
// runs the same way again. Written as one line of a replay file:
//   scan pane=0 node=LP-5100-A%202 at=3 prod=P24200001 ans=in:P24200002,No fault=1213@7
// The kind comes first, then key=value pairs; values are percent-encoded, so blanks, commas and control
// characters survive. "ans" lists the answers given to the dialogs in the order they were asked:
// Ok, Cancel, Yes, No, Retry for message boxes, in:TEXT for input boxes, pw:TEXT for the password window.
struct WalkAction {
    QString kind;
    QMap<QString, QString> args;
    QStringList answers;
    int faultCode = 0;  // server error the statement faultAt of the action fails with; 0 for none
    int faultAt = 0;

    QString Arg(const QString& key) const { return args.value(key); }
    int IntArg(const QString& key, int otherwise = 0) const;

    QString ToLine() const;
    // False when the line is no action (the reason in error); blank lines and "#" comments are no action either.
    static bool FromLine(const QString& line, WalkAction& action, QString& error);
};

// The kinds of action, as they are named in replay files.
namespace walk {
inline const QString kOrder = QStringLiteral("order");        // an order number entered into a pane, Enter
inline const QString kNewAss = QStringLiteral("newass");      // "Neuer Zusammenbau"
inline const QString kSelect = QStringLiteral("select");      // a node clicked
inline const QString kScan = QStringLiteral("scan");          // a value from the scanner into the tree of pane 0
inline const QString kDblClick = QStringLiteral("dblclick");  // double-click on the selected node, value typed
inline const QString kShow = QStringLiteral("show");          // "Gerät anzeigen"
inline const QString kRemove = QStringLiteral("remove");      // context menu "Gerät / - Zuweisung aufheben"
inline const QString kDrop = QStringLiteral("drop");          // a node of the right tree dropped on the left one
inline const QString kEditor = QStringLiteral("editor");      // a record editor opened and used
inline const QString kRestart = QStringLiteral("restart");    // the database server stopped and started again
}  // namespace walk
