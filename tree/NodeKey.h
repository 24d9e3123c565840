#pragma once

#include <QString>

// The node key tells an expected node from a node that stands for a recorded device:
//   expected node:  article number, one blank, instance suffix     "ART-01 2"
//   device node:    decimal device ID, "K", instance suffix        "4711K3"
// The instance suffix is "0" for a root or a single piece with serial numbers, "2" for a single piece
// without, "1".."n" for the pieces of a component that occurs n times; a device loaded from the database
// carries an instance count instead.
//
// A key counts as a device key only in its full form (digits, "K", digits), so an article number that
// contains a "K" or starts with digits never passes an expected node off as a device.

bool IsDeviceNodeKey(const QString& key);
// The device ID of a device key; 0 for every other key.
qint32 DeviceIdOfKey(const QString& key);
// The instance suffix: the last character of the key after trimming blanks (empty for an empty key).
QString KeySuffix(const QString& key);

QString ExpectedNodeKey(const QString& artNr, const QString& suffix);
QString DeviceNodeKey(qint64 devId, const QString& suffix);
