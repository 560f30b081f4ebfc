#pragma once

#include "AudienceStandings.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The snapshot as compact UTF-8 JSON. '<', '>' and '&' are written as \u escapes, so the text
// stays inert even where a client puts it into a page by mistake.
QByteArray ToJson(const TLiveStandings &standings);

// "ready", "running", "stopped", "ended": the names the page and other clients read.
QString LiveStateName(TLiveState state);
