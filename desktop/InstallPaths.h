#pragma once

#include <QString>

// Where the program finds the files it brings along. In the build folder every helper program
// and data file lies beside the program; once installed, the helpers live in the helper folder
// and the data files in the data folder, both found from the program's own folder so that the
// installation can sit under any prefix.
namespace InstallPaths {

// The folder of the running program; also right before the application object exists.
QString programFolder();

// The installed helper and data folders that belong to a program in programFolder.
QString installedHelperFolder(const QString &programFolder);
QString installedDataFolder(const QString &programFolder);

// A helper program such as "talvenbahn-xls-reader": beside the program if it is there, else in
// the installed helper folder if it is there, else beside the program (so that a message names
// the first place looked at). An empty programFolder means the running program's.
QString helperProgram(const QString &name, const QString &programFolder = {});
// A data file such as the help file, looked for the same way in the installed data folder.
QString dataFile(const QString &name, const QString &programFolder = {});

} // namespace InstallPaths
