#pragma once

#include <QString>

// The process's working folder as a full path, also after the folder was deleted, when the
// system no longer hands it out by the usual call ("/home/lauf/heute (deleted)"). Exports land
// there; their messages name it.
QString WorkingFolder();

// fileName made absolute against WorkingFolder().
QString FullPathOf(const QString &fileName);
