// The file association: what each choice writes under private XDG folders and reads back, the removal
// (keeping other programs' entries), the quoting of the program path, the read rules, failures, and the
// association window (activation, OK, Cancel, About).
#include "platform/fileassoc.h"
#include "platform/settings.h"
#include "ui/assocform.h"
#include "ui/mainframe.h"

#include "tests/testsupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Every test gets its own data and configuration folders; the variables are put back afterwards.
class AssociationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedData_ = qgetenv("XDG_DATA_HOME");
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("data"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("config"))));
        savedTool_ = AssociationToolHook;
        AssociationToolHook = [this](const QString& program, const QStringList& arguments) {
            tools_.emplace_back(program, arguments);
        };
        files_ = CurrentAssociationFiles();
    }

    void TearDown() override {
        AssociationToolHook = savedTool_;
        qputenv("XDG_DATA_HOME", savedData_);
        qputenv("XDG_CONFIG_HOME", savedConfig_);
    }

    QString DesktopExec() const {
        for (const QByteArray& line : ReadBytes(files_.DesktopFile).split('\n'))
            if (line.startsWith("Exec=")) return QString::fromUtf8(line.mid(5));
        return QString();
    }

    QTemporaryDir dir_;
    QByteArray savedData_, savedConfig_;
    std::function<void(const QString&, const QStringList&)> savedTool_;
    std::vector<std::pair<QString, QStringList>> tools_;
    AssociationFiles files_;
};

TEST_F(AssociationTest, EveryFileLivesUnderTheUsersOwnFolders) {
    const QString data = dir_.filePath(QStringLiteral("data"));
    const QString config = dir_.filePath(QStringLiteral("config"));
    EXPECT_EQ(files_.MimePackage, data + "/mime/packages/lorvex-lxt.xml");
    EXPECT_EQ(files_.DesktopFile, data + "/applications/lorvex-lxt.desktop");
    EXPECT_EQ(files_.MimeAppsList, config + "/mimeapps.list");

    // A relative folder in the variable is not used (it would depend on the current folder).
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(CurrentAssociationFiles().MimeFolder, QDir::homePath() + "/.local/share/mime");
}

TEST_F(AssociationTest, EachChoiceIsWrittenAndReadBack) {
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::None);
    const QString program = QStringLiteral("/opt/lorvex/lorvex");
    const std::pair<int, QString> expected[] = {
        {AssocChoiceValue::Run, QStringLiteral("\"/opt/lorvex/lorvex\" -R %f")},
        {AssocChoiceValue::RunEdit, QStringLiteral("\"/opt/lorvex/lorvex\" -A %f")},
        {AssocChoiceValue::Edit, QStringLiteral("\"/opt/lorvex/lorvex\" %f")},
    };
    for (const auto& [choice, exec] : expected) {
        SCOPED_TRACE(choice);
        tools_.clear();
        QString error;
        ASSERT_TRUE(WriteAssociation(choice, program, &error)) << error.toStdString();
        EXPECT_EQ(ReadAssociation(), choice);
        EXPECT_EQ(DesktopExec(), exec);

        const QByteArray package = ReadBytes(files_.MimePackage);
        EXPECT_TRUE(package.contains("<mime-type type=\"text/x-lorvex\">"));
        EXPECT_TRUE(package.contains("<glob pattern=\"*.lxt\"/>"));
        const QByteArray desktop = ReadBytes(files_.DesktopFile);
        EXPECT_TRUE(desktop.startsWith("[Desktop Entry]\n"));
        EXPECT_TRUE(desktop.contains("\nMimeType=text/x-lorvex;\n"));
        // The icon that the install puts in the desktop's icon theme.
        EXPECT_TRUE(desktop.contains("\nIcon=lorvex\n"));
        // Rewriting keeps a single entry for us, first in both lists.
        EXPECT_EQ(ReadBytes(files_.MimeAppsList),
                  QByteArray("[Default Applications]\ntext/x-lorvex=lorvex-lxt.desktop;\n\n"
                             "[Added Associations]\ntext/x-lorvex=lorvex-lxt.desktop;\n"));

        // The caches are rebuilt for the private folders only.
        ASSERT_EQ(tools_.size(), 2u);
        EXPECT_EQ(tools_[0].first, "update-mime-database");
        EXPECT_EQ(tools_[0].second, QStringList{files_.MimeFolder});
        EXPECT_EQ(tools_[1].first, "update-desktop-database");
        EXPECT_EQ(tools_[1].second, QStringList{files_.ApplicationsFolder});
    }
}

TEST_F(AssociationTest, OtherProgramsEntriesInMimeappsListAreKept) {
    const QByteArray before = "# the user's own notes\n"
                              "[Default Applications]\n"
                              "text/html=firefox.desktop;\n"
                              "text/x-lorvex=gedit.desktop;\n"
                              "\n"
                              "[Added Associations]\n"
                              "image/png=gimp.desktop;\n"
                              "\n"
                              "[Removed Associations]\n"
                              "text/plain=vim.desktop;\n";
    ASSERT_TRUE(WriteBytes(files_.MimeAppsList, before));

    ASSERT_TRUE(WriteAssociation(AssocChoiceValue::RunEdit, QStringLiteral("/bin/lorvex")));
    EXPECT_EQ(ReadBytes(files_.MimeAppsList), QByteArray("# the user's own notes\n"
                                                         "[Default Applications]\n"
                                                         "text/html=firefox.desktop;\n"
                                                         "text/x-lorvex=lorvex-lxt.desktop;gedit.desktop;\n"
                                                         "\n"
                                                         "[Added Associations]\n"
                                                         "image/png=gimp.desktop;\n"
                                                         "text/x-lorvex=lorvex-lxt.desktop;\n"
                                                         "\n"
                                                         "[Removed Associations]\n"
                                                         "text/plain=vim.desktop;\n"));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::RunEdit);

    // Removal takes out only what is ours: the program that was there before stays the default.
    tools_.clear();
    ASSERT_TRUE(WriteAssociation(AssocChoiceValue::None, QString()));
    EXPECT_EQ(ReadBytes(files_.MimeAppsList), before);
    EXPECT_FALSE(QFileInfo::exists(files_.DesktopFile));
    EXPECT_FALSE(QFileInfo::exists(files_.MimePackage));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::None);
    // The MIME cache must forget the type, so it is rebuilt after a removal as well.
    ASSERT_EQ(tools_.size(), 2u);
    EXPECT_EQ(tools_[0].first, "update-mime-database");
}

TEST_F(AssociationTest, RemovalWithNothingWrittenCreatesNothing) {
    ASSERT_TRUE(WriteAssociation(AssocChoiceValue::None, QString()));
    EXPECT_FALSE(QFileInfo::exists(files_.MimeAppsList));
    EXPECT_FALSE(QFileInfo::exists(files_.DesktopFile));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::None);
}

TEST_F(AssociationTest, ProgramPathsSurviveTheDesktopEntryQuoting) {
    const QString paths[] = {
        QStringLiteral("/home/taro/My Programs/lorvex"),
        QStringLiteral("/opt/a\"b/$HOME/`x`/lorvex"),
        QStringLiteral("/opt/back\\slash/lorvex"),
        QStringLiteral("/opt/日本語/lorvex"),
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const QStringList arguments = SplitExecValue(AssociationCommand(AssocChoiceValue::Run, path));
        EXPECT_EQ(arguments, (QStringList{path, "-R", "%f"}));
    }
    // The value as it stands in the file: one backslash is four.
    EXPECT_EQ(AssociationCommand(AssocChoiceValue::Edit, QStringLiteral("/a\\b")),
              QStringLiteral("\"/a\\\\\\\\b\" %f"));
    // A line break cannot stand in a desktop entry, nor a "%" in the program's path (the desktop
    // would look for one program and start another): the window is told, nothing is written.
    for (const QString& path :
         {QStringLiteral("/a\nb"), QStringLiteral("/opt/100%/lorvex"), QStringLiteral("/a/b%%")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(AssociationCommand(AssocChoiceValue::Run, path).isEmpty());
        QString error;
        EXPECT_FALSE(WriteAssociation(AssocChoiceValue::Run, path, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(files_.DesktopFile));
    }
}

TEST_F(AssociationTest, ReadRules) {
    auto writeDesktop = [this](const QByteArray& exec) {
        ASSERT_TRUE(WriteBytes(files_.DesktopFile,
                               "[Desktop Action other]\nExec=other -A\n\n[Desktop Entry]\nType=Application\n"
                               "Exec = " +
                                   exec + "\n"));
    };
    // Without our MIME type nothing is associated, whatever else is there.
    ASSERT_NO_FATAL_FAILURE(writeDesktop("lorvex -R %f"));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::None);

    ASSERT_TRUE(WriteBytes(files_.MimePackage, "<mime-info/>"));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::Run);
    // Both options: -A counts.
    ASSERT_NO_FATAL_FAILURE(writeDesktop("lorvex -R -A %f"));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::RunEdit);
    ASSERT_NO_FATAL_FAILURE(writeDesktop("lorvex -A -R %f"));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::RunEdit);
    // An option inside the quoted program path is no option.
    ASSERT_NO_FATAL_FAILURE(writeDesktop("\"/opt/x -R y/lorvex\" %f"));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::Edit);
    // The type without our desktop entry reads as the edit choice.
    QFile::remove(files_.DesktopFile);
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::Edit);

    // Another program chosen as the default for the type: our entry does not decide.
    ASSERT_NO_FATAL_FAILURE(writeDesktop("lorvex -R %f"));
    ASSERT_TRUE(WriteBytes(files_.MimeAppsList,
                           "[Default Applications]\ntext/x-lorvex=gedit.desktop;lorvex-lxt.desktop;\n"));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::Edit);
    ASSERT_TRUE(
        WriteBytes(files_.MimeAppsList, "[Default Applications]\ntext/x-lorvex=lorvex-lxt.desktop;\n"));
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::Run);
}

TEST_F(AssociationTest, FilesThatCannotBeWrittenAreReported) {
    // A folder where mimeapps.list should be: it can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(files_.MimeAppsList));
    QString error;
    EXPECT_FALSE(WriteAssociation(AssocChoiceValue::Run, QStringLiteral("/bin/lorvex"), &error));
    EXPECT_TRUE(error.contains(files_.MimeAppsList)) << error.toStdString();
    EXPECT_TRUE(tools_.empty());
    ASSERT_TRUE(QDir(files_.MimeAppsList).removeRecursively());

    // A file where the data folder should be.
    ASSERT_TRUE(WriteBytes(dir_.filePath(QStringLiteral("plainfile")), "x"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("plainfile"))));
    error.clear();
    EXPECT_FALSE(WriteAssociation(AssocChoiceValue::Edit, QStringLiteral("/bin/lorvex"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::None);
}

TEST_F(AssociationTest, TheDesktopsMimeDatabaseLearnsTheType) {
    if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty())
        GTEST_SKIP() << "update-mime-database is not installed";
    AssociationToolHook = savedTool_;
    const QString globs = files_.MimeFolder + "/globs2";
    ASSERT_TRUE(WriteAssociation(AssocChoiceValue::Run, QStringLiteral("/bin/lorvex")));
    EXPECT_TRUE(ReadBytes(globs).contains("text/x-lorvex:*.lxt")) << ReadBytes(globs).constData();
    ASSERT_TRUE(WriteAssociation(AssocChoiceValue::None, QString()));
    EXPECT_FALSE(ReadBytes(globs).contains("text/x-lorvex"));
}

// ---------------------------------------------------------------- the association window

class AssocFormTest : public AssociationTest {
protected:
    void SetUp() override {
        AssociationTest::SetUp();
        savedExeDir_ = Settings.ExeDir;
        Settings.ExeDir = QStringLiteral("/opt/lorvex dir");
        WinHooks.MessageBoxHook = [this](QWidget*, const MessageRequest& request) {
            messages_.push_back(request);
            return QMessageBox::Ok;
        };
    }
    void TearDown() override {
        WinHooks.MessageBoxHook = nullptr;
        Settings.ExeDir = savedExeDir_;
        AssociationTest::TearDown();
    }

    QString savedExeDir_;
    std::vector<MessageRequest> messages_;
};

TEST_F(AssocFormTest, ShowsTheChoiceInForceWithItsTexts) {
    TLXASForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Lorvex 関連付け設定プログラム"));
    EXPECT_EQ(form.Label1->text(),
              QStringLiteral("lxt ファイルのアイコンをダブルクリックしたときの動作を指定します。"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("関連付けを行うとLorvex が起動して以下の動作をします。"));
    EXPECT_EQ(form.Label3->text(), QStringLiteral("現在の設定"));
    EXPECT_EQ(form.RadioButton1->text(), QStringLiteral("実行に関連付け（編集画面は最小化）"));
    EXPECT_EQ(form.RadioButton4->text(), QStringLiteral("関連付けなし"));
    EXPECT_EQ(form.OkBtn->text(), "OK");
    EXPECT_EQ(form.CancelBtn->text(), "Cancel");
    EXPECT_EQ(form.AboutBtn->text(), "About");

    form.move(0, 0);
    form.show();
    EXPECT_TRUE(form.RadioButton4->isChecked());
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("関連付けなし"));
    EXPECT_TRUE(form.Edit1->isReadOnly());
    // Centred on the screen whenever it is shown.
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((form.frameGeometry().center() - centre).manhattanLength(), 2);
    form.hide();
    form.move(0, 0);
    form.show();
    EXPECT_LE((form.frameGeometry().center() - centre).manhattanLength(), 2);

    // A choice made elsewhere shows at the next activation.
    ASSERT_TRUE(WriteAssociation(AssocChoiceValue::Run, QStringLiteral("/bin/lorvex")));
    form.FormActivate();
    EXPECT_EQ(AssocChoice, AssocChoiceValue::Run);
    EXPECT_TRUE(form.RadioButton1->isChecked());
    EXPECT_FALSE(form.RadioButton4->isChecked());
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("実行に関連付け"));
}

TEST_F(AssocFormTest, OkRecordsTheChoiceAndReopeningShowsIt) {
    TLXASForm* form = TLXASForm::Execute(nullptr);
    QPointer<TLXASForm> guard(form);
    ASSERT_TRUE(form->isVisible());
    form->RadioButton2->setChecked(true);
    QTest::mouseClick(form->OkBtn, Qt::LeftButton);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Text, QStringLiteral("関連付け設定が終わりました。"));
    EXPECT_EQ(messages_[0].Icon, QMessageBox::Information);
    EXPECT_TRUE(guard.isNull() || !form->isVisible());
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::RunEdit);
    EXPECT_EQ(SplitExecValue(DesktopExec()).value(0), QStringLiteral("/opt/lorvex dir/lorvex"));

    TLXASForm again;
    again.show();
    EXPECT_TRUE(again.RadioButton2->isChecked());
    EXPECT_EQ(again.Edit1->text(), QStringLiteral("実行編集に関連付け"));

    // Choice 4 removes it.
    again.RadioButton4->setChecked(true);
    again.OkBtnClick();
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::None);
    TLXASForm third;
    third.show();
    EXPECT_EQ(third.Edit1->text(), QStringLiteral("関連付けなし"));
}

TEST_F(AssocFormTest, AFailureIsReportedAndTheWindowStays) {
    ASSERT_TRUE(QDir().mkpath(files_.MimeAppsList));
    TLXASForm form;
    form.show();
    form.RadioButton1->setChecked(true);
    form.OkBtnClick();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Icon, QMessageBox::Warning);
    EXPECT_TRUE(messages_[0].Text.startsWith(QStringLiteral("関連付けを設定できませんでした。")));
    EXPECT_TRUE(messages_[0].Text.contains(files_.MimeAppsList));
    EXPECT_TRUE(form.isVisible());
}

TEST_F(AssocFormTest, CancelWritesNothingAndAboutOnlyInforms) {
    TLXASForm form;
    form.show();
    form.RadioButton1->setChecked(true);
    QTest::mouseClick(form.AboutBtn, Qt::LeftButton);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Icon, QMessageBox::Information);
    EXPECT_FALSE(messages_[0].Text.isEmpty());
    EXPECT_TRUE(form.isVisible());

    QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(ReadAssociation(), AssocChoiceValue::None);
    EXPECT_FALSE(QFileInfo::exists(files_.MimeAppsList));
    EXPECT_TRUE(tools_.empty());
}

} // namespace
