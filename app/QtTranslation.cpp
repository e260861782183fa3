#include "app/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace nc16 {

QString QtJapaneseTranslationFile() {
  return QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm");
}

bool InstallQtJapanese() {
  static const bool installed = [] {
    // Owned by the application, so it lives as long as the texts it translates.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QtJapaneseTranslationFile()) ||
        !QCoreApplication::installTranslator(translator)) {
      delete translator;
      return false;
    }
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    return true;
  }();
  return installed;
}

}  // namespace nc16
