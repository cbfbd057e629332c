// The desktop conventions: Qt's own texts in Japanese when Qt's translations are installed, and the
// Windows font names of the settings mapped to installed faces that a font chooser can preselect.
#include "platform/desktopconventions.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDialog>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTranslator>

#include <gtest/gtest.h>

TEST(DesktopConventions, QtTextsAreJapaneseOnlyWhenTheTranslationsAreThere) {
    auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    // Translations loaded by an earlier run of this test stay with the application: start without them.
    for (QTranslator* loaded : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(loaded);
        delete loaded;
    }
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    EXPECT_FALSE(LoadQtTranslations(*QCoreApplication::instance(), empty.path()));
    EXPECT_EQ(cancel(), "Cancel");

    ASSERT_TRUE(LoadQtTranslations(*QCoreApplication::instance()))
        << "Qt's Japanese translations are missing from " << QtTranslationsFolder().toStdString();
    EXPECT_EQ(cancel(), QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("はい(&Y)"));
}

TEST(DesktopConventions, WindowsFontNamesUseInstalledFaces) {
    InstallFontSubstitutions();
    const QString gothic = QStringLiteral("ＭＳ ゴシック");
    const QString proportional = QStringLiteral("ＭＳ Ｐゴシック");
    EXPECT_EQ(QFontInfo(QFont(gothic)).family(), "IPAGothic");
    EXPECT_EQ(QFontInfo(QFont(proportional)).family(), "IPAPGothic");
    const QFontInfo courier(QFont(QStringLiteral("Courier New")));
    EXPECT_EQ(courier.family(), "Liberation Mono");
    EXPECT_TRUE(courier.fixedPitch());

    // The gothic face the settings mean is fixed-pitch: ASCII and half-width text line up.
    QFont editorFont(gothic, 10);
    const QFontMetrics metrics(editorFont);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("iiii")),
              metrics.horizontalAdvance(QStringLiteral("MMMM")));

    // The chooser lists installed faces only: it opens at the one in use, at the size asked for.
    const QFontDialog dialog(WithInstalledFace(editorFont));
    EXPECT_EQ(dialog.currentFont().family(), "IPAGothic");
    EXPECT_EQ(dialog.currentFont().pointSize(), 10);
}
