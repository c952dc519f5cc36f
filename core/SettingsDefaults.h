#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// The values a reset of all settings writes, in the six batches the reset hands to the store.
// Keys that a reset leaves alone (the chosen camera, first-run marks, hidden settings) are
// not in the table.
namespace SettingsDefaults {

using Batch = QList<QPair<QString, QVariant>>;

const QList<Batch> &batches();
// The number of (key, value) pairs over all batches.
int pairCount();

} // namespace SettingsDefaults
