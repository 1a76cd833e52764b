#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool Translations::install(QCoreApplication& application, const QLocale& locale)
{
    auto* qt = new QTranslator(&application);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    auto* own = new QTranslator(&application);
    if (!own->load(locale, QStringLiteral("gameoflife"), QStringLiteral("_"), QStringLiteral(":/translations"))) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    return true;
}
