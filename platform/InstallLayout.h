#pragma once
// Where an installed program finds its data: `cmake --install` puts the program in PREFIX/bin/
// and its data in PREFIX/share/sonavarium/. A program run from its build folder has its data
// beside it.
#include <string>

// True when programDir holds no menu image but ../share/sonavarium/ exists beside it.
bool IsInstalledCopy(const std::string& programDir);
// The folder of the asset files, with a trailing "/": ../share/sonavarium/ for an installed copy,
// else programDir itself.
std::string AssetDir(const std::string& programDir);
// Empty when the asset files are all there; else a line naming the missing files and the
// folders searched.
std::string MissingAssetsReport(const std::string& programDir);
