#pragma once
// Qt's own texts in Japanese: the file dialog ("保存(&S)", "ファイル名(&N):"), the edit boxes'
// context menu ("元に戻す(&U)", "貼り付け(&P)") and the standard buttons. The whole program
// speaks Japanese, so the translation is loaded whatever the system's locale is.

#include <QString>

namespace nc16 {

// qtbase_ja.qm in Qt's translations folder (Debian: the package qt6-translations-l10n).
QString QtJapaneseTranslationFile();

// Installs Qt's Japanese translation in the application and makes Japanese the default locale
// (dates and sizes in the file dialog). Once per application; later calls only answer. False
// when the file is missing or unreadable: Qt's texts then stay English and nothing else changes.
bool InstallQtJapanese();

}  // namespace nc16
