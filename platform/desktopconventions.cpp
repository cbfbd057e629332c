// Fitting the Linux desktop: Qt's own texts loaded in Japanese, and Windows font names mapped to faces
// the system has.
#include "platform/desktopconventions.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

namespace {

// "qt_ja" gathers the catalogues of every Qt module (base, multimedia and the rest).
constexpr char16_t QtCatalogue[] = u"qt";
constexpr char16_t CatalogueSeparator[] = u"_";

struct FontSubstitution {
    const char16_t* WindowsName;
    const char16_t* Faces[2];
};

// Each Windows name with the Debian faces that stand in for it, best first (the second is the face's
// other family name, as fontconfig lists both).
constexpr FontSubstitution FontSubstitutions[] = {
    {u"ＭＳ ゴシック", {u"IPAGothic", u"IPAゴシック"}},
    {u"ＭＳ Ｐゴシック", {u"IPAPGothic", u"IPA Pゴシック"}},
    {u"Courier New", {u"Liberation Mono", u"DejaVu Sans Mono"}},
};

} // namespace

QString QtTranslationsFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool LoadQtTranslations(QCoreApplication& app, const QString& folder) {
    auto* translator = new QTranslator(&app);
    const QString from = folder.isEmpty() ? QtTranslationsFolder() : folder;
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QString::fromUtf16(QtCatalogue),
                          QString::fromUtf16(CatalogueSeparator), from) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

void InstallFontSubstitutions() {
    for (const FontSubstitution& substitution : FontSubstitutions) {
        QStringList faces;
        for (const char16_t* face : substitution.Faces)
            faces.append(QString::fromUtf16(face));
        QFont::insertSubstitutions(QString::fromUtf16(substitution.WindowsName), faces);
    }
}

QFont WithInstalledFace(const QFont& font) {
    QFont installed = font;
    installed.setFamilies({QFontInfo(font).family()});
    return installed;
}
