#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

// One file the generator writes into the program folder. `make` returns the file's bytes,
// or an empty array when it cannot be made (the generator then fails the build).
struct GeneratedAsset
{
    QString fileName;
    std::function<QByteArray()> make;
};

// One list per kind of file; the generator writes the union. To add a file, add its maker to
// the list of its kind (and its name to OUTPUT in assets/CMakeLists.txt).
std::vector<GeneratedAsset> soundAssets();
std::vector<GeneratedAsset> imageAssets();
std::vector<GeneratedAsset> statusImageAssets();
std::vector<GeneratedAsset> cursorAssets();
// The main window's button icons: written by tovra-icons into the build tree, from where
// the program embeds them; never into the program folder.
std::vector<GeneratedAsset> iconAssets();
