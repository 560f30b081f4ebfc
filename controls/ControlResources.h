#pragma once

#include <QImage>
#include <QString>

// Reads one of the controls' images by name ("LBOK", "LBARROW", "DLGQUESTION"...) from the
// resources built into the controls library; a null image when there is no such name.
QImage LoadControlImage(const QString &name);
