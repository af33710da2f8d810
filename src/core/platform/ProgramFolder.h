#pragma once

#include <QString>

// Every path of the program hangs from the program folder: $JX_HOME when set, else the
// folder holding the executable when it is writable (a portable install), else a per-user
// data folder.
namespace jx::programFolder {

QString path();
// BIN beneath the program folder, created when missing. One folder serves the spellings
// "BIN" and "bin" of the installed program.
QString binFolder();
// The same beneath a given program folder, without creating it.
QString binFolderOf(const QString& root);
QString iniFile();
QString tempFolder();

} // namespace jx::programFolder
