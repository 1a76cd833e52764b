#pragma once

#include <QLocale>

class QCoreApplication;

// The application's texts in the language of the person's session: its own
// translations (built into the program) and Qt's own for the dialogs and
// buttons Qt draws, both chosen by the session's locale (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG). English needs neither.
class Translations {
public:
    // Installs the translations for `locale` on `application`; returns
    // whether the application's own were found for it.
    static bool install(QCoreApplication& application, const QLocale& locale = QLocale::system());
};
