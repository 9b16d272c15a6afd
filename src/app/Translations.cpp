#include "app/Translations.h"

#include "app/UiLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

const QString catalogueName = QStringLiteral("vx4-ui-catalogue");

} // namespace

bool installUiCatalogue(QCoreApplication& app)
{
    if (uiLanguage() != chineseUi)
        return true;
    auto* own = new QTranslator(&app);
    own->setObjectName(catalogueName);
    const bool loaded = own->load(QStringLiteral(":/i18n/vx4_zh_CN.qm"));
    if (loaded)
        QCoreApplication::installTranslator(own);
    // Qt's own texts (the OK and Cancel of standard dialogs); absent unless
    // Qt's translations are installed, which is no error.
    auto* qt = new QTranslator(&app);
    qt->setObjectName(catalogueName);
    if (qt->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    return loaded;
}

void removeUiCatalogue(QCoreApplication& app)
{
    for (QTranslator* translator : app.findChildren<QTranslator*>(catalogueName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}
