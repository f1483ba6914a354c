#include "ui_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>

namespace orvo {

UiTranslation::UiTranslation(const QLocale& locale)
{
    if (isChinese(locale)) {
        qtInstalled_ = qtTranslator_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                       QCoreApplication::installTranslator(&qtTranslator_);
        return;
    }
    installed_ = translator_.load(QStringLiteral(":/i18n/orvopacking_en.qm")) &&
                 QCoreApplication::installTranslator(&translator_);
}

UiTranslation::~UiTranslation()
{
    if (installed_) QCoreApplication::removeTranslator(&translator_);
    if (qtInstalled_) QCoreApplication::removeTranslator(&qtTranslator_);
}

QLocale UiTranslation::systemLocale()
{
    const QLocale system = QLocale::system();
    const QStringList languages = system.uiLanguages();
    return languages.isEmpty() ? system : QLocale(languages.first());
}

}  // namespace orvo
