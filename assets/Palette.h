#pragma once

#include <QColor>

// The colours every generated image and cursor shares, so they read as one family: dark ink
// outlines around light or coloured fills, amber and teal as the two accents.
namespace Palette {
inline QColor ink()
{
    return QColor(20, 40, 60);
}
inline QColor light()
{
    return QColor(245, 248, 252);
}
inline QColor amber()
{
    return QColor(255, 196, 87);
}
inline QColor teal()
{
    return QColor(44, 158, 190);
}
inline QColor green()
{
    return QColor(62, 184, 104);
}
inline QColor red()
{
    return QColor(222, 72, 60);
}
inline QColor grey()
{
    return QColor(150, 160, 172);
}
} // namespace Palette
