// How the program fits a Linux desktop: Qt's own texts (standard buttons, file, colour, font and print
// dialogs) in Japanese like the rest of the user interface, and the Windows font names the settings and
// programs use mapped to faces a Debian system has.
#pragma once

#include <QFont>
#include <QString>

class QCoreApplication;

// The folder Qt's translations are installed in.
QString QtTranslationsFolder();

// Installs Qt's Japanese translations from folder (Qt's own folder when empty) into app. False when they
// are not there (the Qt translations package is missing); Qt's texts then stay English.
bool LoadQtTranslations(QCoreApplication& app, const QString& folder = QString());

// The Windows font names mapped to installed faces through Qt's font substitutions: the fixed-pitch and
// proportional Japanese gothic faces and a monospaced face for Courier New.
void InstallFontSubstitutions();

// The font with the face that is really used in place of its family, so a font chooser can preselect
// it (its list holds installed faces, never the Windows names).
QFont WithInstalledFace(const QFont& font);
