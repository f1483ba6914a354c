#pragma once

#include <QLocale>
#include <QTranslator>

namespace orvo {

// The program's texts are written in the code as it shows them to Chinese users. For any
// other language the English translation, built from translations/orvopacking_en.ts into
// the program's resources, is installed for as long as this object lives. For Chinese,
// Qt's own translation of its standard texts (the buttons of message boxes and dialogs) is
// installed when the system has it.
class UiTranslation {
public:
    explicit UiTranslation(const QLocale& locale);
    ~UiTranslation();
    UiTranslation(const UiTranslation&) = delete;
    UiTranslation& operator=(const UiTranslation&) = delete;

    // The program's English translation.
    bool installed() const { return installed_; }
    bool qtInstalled() const { return qtInstalled_; }

    // The language the user reads messages in: the first of the system's UI languages
    // (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
    static QLocale systemLocale();
    static bool isChinese(const QLocale& locale) { return locale.language() == QLocale::Chinese; }

private:
    QTranslator translator_;
    QTranslator qtTranslator_;
    bool installed_ = false;
    bool qtInstalled_ = false;
};

}  // namespace orvo
