#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

// The pictures the tree nodes refer to by key ("Set", "Unknown", "HasDev"), read from bitmap files.
class NodeImageList {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    // Adds a picture under the key, read from the file. A file that cannot be read still adds the key, with
    // an empty picture, so that nodes using the key show no icon.
    void Add(const QString& key, const QString& bitmapPath);
    bool Contains(const QString& key) const;
    // The picture of the key; a null image for an unknown key or an unreadable file.
    QImage Picture(const QString& key) const;
    QStringList Keys() const;

private:
    struct Entry {
        QString key;
        QImage picture;
    };
    std::vector<Entry> entries_;
};

// The one image list of the main window, shared by both tree controls (filled by the first TreeView).
NodeImageList& SharedNodeImages();
