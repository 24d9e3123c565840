#include "tree/NodeImageList.h"

#include <QtDebug>

void NodeImageList::Add(const QString& key, const QString& bitmapPath) {
    QImage picture(bitmapPath);
    if (picture.isNull()) {
        qWarning("Node bitmap %s cannot be read; nodes with the image \"%s\" show no icon", qUtf8Printable(bitmapPath),
                 qUtf8Printable(key));
    }
    entries_.push_back(Entry{key, picture});
}

bool NodeImageList::Contains(const QString& key) const {
    for (const Entry& entry : entries_) {
        if (entry.key == key) {
            return true;
        }
    }
    return false;
}

QImage NodeImageList::Picture(const QString& key) const {
    for (const Entry& entry : entries_) {
        if (entry.key == key) {
            return entry.picture;
        }
    }
    return QImage();
}

QStringList NodeImageList::Keys() const {
    QStringList keys;
    for (const Entry& entry : entries_) {
        keys.append(entry.key);
    }
    return keys;
}

NodeImageList& SharedNodeImages() {
    static NodeImageList images;
    return images;
}
