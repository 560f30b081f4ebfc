#pragma once

#include <QString>

// Where a test puts a picture for a person to look at: the build's "screenshots" folder, never
// the working folder, which may be the source tree.
QString ShotPath(const QString &fileName);
