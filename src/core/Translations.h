#pragma once

#include <QStringList>

// Installs, for each catalogue named ("zeb2000"), its translation into the user's language from
// the resources (":/i18n/<catalogue>_<language>.qm"). The languages are the desktop's, in the
// user's order (LANGUAGE, LC_ALL, LC_MESSAGES, LANG on Linux; the user's UI languages on
// Windows); the first one that any catalogue speaks is taken for all of them, so that the
// program never mixes two translations. English, the language the texts are written in, ends
// the search: then, or where nothing matches, no translator is installed.
void installTranslations(const QStringList& catalogues);
