#pragma once

#include <QString>
#include <QVariant>

// One entry of the settings store.
struct SettingEntry
{
    QString name;
    QVariant value;
    // Set by every accepted write and by loading; cleared when the tracker takes the changes.
    bool changed = false;
};
