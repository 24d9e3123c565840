#pragma once

#include <QObject>

// The nodes of one tree control. (Placeholder: the node model is being built.)
class NodeTree : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
};
