#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include "trace/TraceTypes.h"

// The genealogy as a picture: one box per device with article, codes, serial numbers and order, an edge from
// each device to every component built into it (grey and dashed when it was removed again), the device of the
// queried code highlighted, a failed latest test in red, the components of one article below one device grouped.
// Laid out left to right and rendered by Graphviz (cgraph and gvc).

struct PictureEdge {
    qint32 parent = 0;
    qint32 child = 0;
    QString link;  // "Z" built in, "D0", "D1"... removed again
    bool Removed() const { return link.startsWith(QLatin1Char('D')); }
};

struct Picture {
    QString title;          // "Genealogie von P24100039", "Verwendung von …"
    QStringList warnings;   // the answer's warnings, written under the title
    QList<qint32> devices;  // each once, in the order they are first reached from the top
    QList<qint32> tops;     // the final products the picture starts from
    QList<PictureEdge> edges;
    QSet<qint32> highlighted;  // the devices of the queried codes
    FactsByDevice facts;
    // Devices not reached from a top through built-in components only (drawn grey).
    QSet<qint32> RemovedDevices() const;
};

// The files to write; an empty path is not written.
struct PictureFiles {
    QString svg;
    QString dot;
    bool Wanted() const { return !svg.isEmpty() || !dot.isEmpty(); }
};

// "show": the final product of each device the code names and everything below it.
Picture PictureOfGenealogy(const QList<Genealogy>& genealogies);
// "where-used": every final product that contains or contained a code's device, with the paths down to it.
Picture PictureOfWhereUsed(const WhereUsed& whereUsed);

// Lays the picture out (title, the date it was drawn, a legend) and writes the files; the message naming the file
// that cannot be written, or empty.
QString WritePicture(const Picture& picture, const PictureFiles& files);
