// The preferences window: every control shows the settings in force, each page's Save applies only that
// page (texts and typed copies) and writes the chosen store, Cancel applies nothing, the choosers fill
// their controls, the run window takes its new look at once, and a store that cannot be written is
// reported without losing anything.
#include "ui/preferences.h"

#include "platform/settings.h"
#include "platform/settingsstore.h"
#include "ui/mainframe.h"
#include "ui/runform.h"

#include "tests/testsupport.h"

#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

namespace {

// The value of one key in section Configuration of a store file, as written.
QString StoredValue(const QString& path, const QString& key) {
    for (const QString& line : QString::fromUtf8(ReadBytes(path)).split(u'\n')) {
        const QString prefix = key + u'=';
        if (line.startsWith(prefix)) return line.mid(prefix.size()).remove(u'\r');
    }
    return QString();
}

// Every test starts from the defaults with no store, a program folder of its own and private
// configuration folders; every chooser and message goes to the test.
class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        savedConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("config"))));
        savedExeDir_ = Settings.ExeDir;
        Settings.ExeDir = dir_.filePath(QStringLiteral("program"));
        ASSERT_TRUE(QDir().mkpath(Settings.ExeDir));
        LoadSettings();

        WinHooks.MessageBoxHook = [this](QWidget*, const MessageRequest& request) {
            messages_.push_back(request);
            return QMessageBox::Ok;
        };
        WinHooks.PreferencesFolderDialogHook = [this](QWidget*, const QString&, const QString& folder) {
            folderAsked_.push_back(folder);
            return NextAnswer(folderAnswers_);
        };
        WinHooks.PreferencesColorDialogHook = [this](QWidget*, const QColor& initial) {
            colorAsked_.push_back(initial);
            return NextAnswer(colorAnswers_);
        };
        WinHooks.PreferencesFontDialogHook = [this](QWidget*, const QFont& initial) {
            fontAsked_.push_back(initial);
            return NextAnswer(fontAnswers_);
        };
    }

    void TearDown() override {
        WinHooks.MessageBoxHook = nullptr;
        WinHooks.PreferencesFolderDialogHook = nullptr;
        WinHooks.PreferencesColorDialogHook = nullptr;
        WinHooks.PreferencesFontDialogHook = nullptr;
        Settings.ExeDir = savedExeDir_;
        qputenv("XDG_CONFIG_HOME", savedConfig_);
        LoadSettings();
        EXPECT_TRUE(folderAnswers_.empty() && colorAnswers_.empty() && fontAnswers_.empty())
            << "a chooser that was expected was not opened";
    }

    template <typename Value>
    static std::optional<Value> NextAnswer(std::deque<std::optional<Value>>& answers) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected chooser";
            return std::nullopt;
        }
        std::optional<Value> answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // Writes a user store with the given lines (key=value) and loads it.
    void LoadUserStore(const QByteArray& lines) {
        ASSERT_TRUE(WriteBytes(UserSettingsFilePath(), "[Configuration]\n" + lines));
        LoadSettings();
        ASSERT_EQ(Settings.CfgStoreMode, QStringLiteral("REGISTRY"));
    }

    QTemporaryDir dir_;
    QByteArray savedConfig_;
    QString savedExeDir_;
    std::vector<MessageRequest> messages_;
    std::deque<std::optional<QString>> folderAnswers_;
    std::deque<std::optional<QColor>> colorAnswers_;
    std::deque<std::optional<QFont>> fontAnswers_;
    std::vector<QString> folderAsked_;
    std::vector<QColor> colorAsked_;
    std::vector<QFont> fontAsked_;
};

TEST_F(PreferencesTest, CaptionsOfTheWindowAndItsPages) {
    TLXOptionFrame window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Lorvex 環境設定"));
    EXPECT_EQ(window.width(), TLXOptionFrame::ClientWidth);
    EXPECT_EQ(window.height(), TLXOptionFrame::ClientHeight);
    ASSERT_EQ(window.PageControl1->count(), 4);
    EXPECT_EQ(window.PageControl1->tabText(0), QStringLiteral("一般設定"));
    EXPECT_EQ(window.PageControl1->tabText(1), QStringLiteral("編集設定"));
    EXPECT_EQ(window.PageControl1->tabText(2), QStringLiteral("実行画面設定"));
    EXPECT_EQ(window.PageControl1->tabText(3), QStringLiteral("画面サイズ設定"));
    EXPECT_EQ(window.Label11->toolTip(), "Folder to install Lorvex");
    EXPECT_EQ(window.CursorCheckBox->text(), QStringLiteral("<-,->カーソルの行越え禁止"));
    EXPECT_EQ(window.IniRadioButton->text(), QStringLiteral("環境設定し，iniファイルに保存"));
    EXPECT_EQ(window.SaveExitButton->text(), QStringLiteral("保存・閉じる"));
    EXPECT_EQ(window.SCancelButton->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(window.TScreenCurrentSizeButton->text(), QStringLiteral("現在のサイズ"));
    // The design's figures: the first page's buttons and the folder rows.
    EXPECT_EQ(window.SaveButton->geometry().topLeft(), QPoint(225, 396));
    EXPECT_EQ(window.CancelButton->geometry().topLeft(), QPoint(450, 396));
    EXPECT_EQ(window.ESaveExitButton->geometry().topLeft(), QPoint(321, 422));
    EXPECT_EQ(window.HelpFilePathBox->width(), 404);
    EXPECT_EQ(window.SelectWorkPathButton->x(), 482);
    EXPECT_EQ(window.FCPanel->size(), QSize(43, 32));
}

TEST_F(PreferencesTest, EveryControlShowsTheSettingsInForce) {
    ASSERT_NO_FATAL_FAILURE(LoadUserStore("Install Path=/opt/lorvex\n"
                                          "Working Path=/home/taro/basic\n"
                                          "Editor Font Charset=1\n"
                                          "Editor Font Name=Noto Sans Mono\n"
                                          "Editor Font Size=12\n"
                                          "Editor Font Style=Bold\n"
                                          "Editor Font Color=112233\n"
                                          "Editor Back Color=FFEEDD\n"
                                          "Editor Keyword Color=0000FF\n"
                                          "Editor Keyword Style= bold italic \n"
                                          "Editor Comment Style=Underline\n"
                                          "Editor String Style=Italic\n"
                                          "TScreen Font Charset=128\n"
                                          "TScreen Font Name=IPAGothic\n"
                                          "TScreen Font Size=11\n"
                                          "TScreen Font Style= Bold Underline\n"
                                          "TScreen Font Color=00FF00\n"
                                          "TScreen Back Color=000080\n"
                                          "Cursor Mode=ON\n"
                                          "ExitMSG Check=off\n"
                                          "Format Check=on\n"
                                          "Auto Format Load=ON\n"
                                          "Main Form Width=800\n"
                                          "Main Form Height=600\n"
                                          "Editor Width=500\n"
                                          "Editor Height=300\n"
                                          "TScreen Width=640x\n"
                                          "TScreen Height=240\n"));
    TLXOptionFrame window;
    EXPECT_EQ(window.HelpFilePathBox->text(), "/opt/lorvex");
    EXPECT_EQ(window.WorkingPathBox->text(), "/home/taro/basic");
    // Switch texts compare exactly: "off" is not "OFF", "on" is not "ON".
    EXPECT_TRUE(window.CursorCheckBox->isChecked());
    EXPECT_TRUE(window.ExitMSGCheckBox->isChecked());
    EXPECT_FALSE(window.FormatCheckBox->isChecked());
    EXPECT_TRUE(window.AFLoadCheckBox->isChecked());
    EXPECT_TRUE(window.RegiRadioButton->isChecked());
    EXPECT_EQ(window.PresentSettingBox->text(), QStringLiteral("レジストリ"));
    EXPECT_TRUE(window.PresentSettingBox->isReadOnly());

    EXPECT_EQ(window.FCPanel->Color(), 0x332211);
    EXPECT_EQ(window.BCPanel->Color(), 0xDDEEFF);
    EXPECT_EQ(window.KCPanel->Color(), 0xFF0000);
    EXPECT_EQ(window.CCPanel->Color(), HexToColor(QStringLiteral("008800")));
    EXPECT_EQ(window.TFCPanel->Color(), 0x00FF00);
    EXPECT_EQ(window.TBCPanel->Color(), 0x800000);
    EXPECT_EQ(window.KSComboBox->currentIndex(), 3);
    EXPECT_EQ(window.CSComboBox->currentIndex(), -1); // Underline is none of the four
    EXPECT_EQ(window.SSComboBox->currentIndex(), 1);

    EXPECT_EQ(window.EFCharSetBox->text(), "1");
    EXPECT_EQ(window.EFNameBox->text(), "Noto Sans Mono");
    EXPECT_EQ(window.EFStyleBox->text(), "Bold");
    EXPECT_EQ(window.EFSizeBox->text(), "12");
    EXPECT_TRUE(window.EFNameBox->isReadOnly());
    EXPECT_EQ(window.TFNameBox->text(), "IPAGothic");
    EXPECT_EQ(window.TFSizeBox->text(), "11");
    EXPECT_EQ(window.TFStyleBox->text(), " Bold Underline");

    EXPECT_EQ(window.MainWidthBox->text(), "800");
    EXPECT_EQ(window.MainHeightBox->text(), "600");
    EXPECT_EQ(window.EditorWidthBox->text(), "500");
    EXPECT_EQ(window.EditorHeightBox->text(), "300");
    EXPECT_EQ(window.TScreenWidthBox->text(), "640x");
    EXPECT_EQ(window.TScreenHeightBox->text(), "240");
}

TEST_F(PreferencesTest, TheStoreInForceSelectsItsRadioButton) {
    {
        TLXOptionFrame window;
        EXPECT_TRUE(window.NoRadioButton->isChecked());
        EXPECT_EQ(window.PresentSettingBox->text(), QStringLiteral("デフォルト"));
    }
    ASSERT_TRUE(WriteBytes(IniSettingsFilePath(), "[Configuration]\nCursor Mode=ON\n"));
    LoadSettings();
    TLXOptionFrame window;
    EXPECT_TRUE(window.IniRadioButton->isChecked());
    EXPECT_FALSE(window.RegiRadioButton->isChecked());
    EXPECT_EQ(window.PresentSettingBox->text(), QStringLiteral("ini ファイル"));
}

TEST_F(PreferencesTest, GeneralPageSavesTextsTypedCopiesAndTheChosenStore) {
    TLXOptionFrame window;
    window.show();
    window.HelpFilePathBox->setText(QStringLiteral("/opt/新しい"));
    window.WorkingPathBox->setText(QStringLiteral("/work"));
    window.FormatCheckBox->setChecked(false);
    window.AFLoadCheckBox->setChecked(true);
    window.CursorCheckBox->setChecked(true);
    window.ExitMSGCheckBox->setChecked(false);
    window.RegiRadioButton->setChecked(true);
    const QString defaultDir = Settings.DefaultDir;
    QTest::mouseClick(window.SaveButton, Qt::LeftButton);

    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(window.isVisible()); // Save alone keeps the window
    EXPECT_EQ(Settings.InstallPath, QStringLiteral("/opt/新しい"));
    EXPECT_EQ(Settings.WorkingPath, "/work");
    EXPECT_EQ(Settings.DefaultDir, defaultDir);
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
    EXPECT_EQ(Settings.CfgFormatCheck, "OFF");
    EXPECT_EQ(Settings.FormatCheck, 0);
    EXPECT_EQ(Settings.CfgAutoFormatLoad, "ON");
    EXPECT_EQ(Settings.AutoFormatLoad, 1);
    EXPECT_EQ(Settings.CfgCursorMode, "ON");
    EXPECT_EQ(Settings.CursorMode, 1);
    EXPECT_EQ(Settings.CfgExitMsgCheck, "OFF");
    EXPECT_EQ(Settings.ExitMsgCheck, 0);
    const QString store = UserSettingsFilePath();
    EXPECT_EQ(StoredValue(store, "Install Path"), QStringLiteral("/opt/新しい"));
    EXPECT_EQ(StoredValue(store, "ExitMSG Check"), "OFF");

    // Now to the ini file: written, and the user store goes so the next start reads the ini file.
    window.IniRadioButton->setChecked(true);
    QTest::mouseClick(window.SaveExitButton, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Settings.CfgStoreMode, "INIFILE");
    EXPECT_FALSE(QFileInfo::exists(store));
    EXPECT_EQ(StoredValue(IniSettingsFilePath(), "Cursor Mode"), "ON");
    LoadSettings();
    EXPECT_EQ(Settings.CfgStoreMode, "INIFILE");
    EXPECT_EQ(Settings.WorkingPath, "/work");
    EXPECT_EQ(Settings.CursorMode, 1);
}

TEST_F(PreferencesTest, NotSavingLeavesTheExistingStoreAsItWas) {
    ASSERT_NO_FATAL_FAILURE(LoadUserStore("Cursor Mode=OFF\n"));
    const QByteArray before = ReadBytes(UserSettingsFilePath());
    TLXOptionFrame window;
    window.NoRadioButton->setChecked(true);
    window.CursorCheckBox->setChecked(true);
    window.SaveButtonClick();
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(Settings.CfgStoreMode.isEmpty());
    EXPECT_EQ(Settings.CursorMode, 1); // applied in memory
    EXPECT_EQ(ReadBytes(UserSettingsFilePath()), before);
    EXPECT_FALSE(QFileInfo::exists(IniSettingsFilePath()));
}

TEST_F(PreferencesTest, EditorPageAppliesOnlyItsOwnControls) {
    ASSERT_NO_FATAL_FAILURE(LoadUserStore("Editor Comment Style=Underline\nCursor Mode=OFF\n"));
    TLXOptionFrame window;
    window.show();
    // Changes on another page stay unapplied.
    window.CursorCheckBox->setChecked(true);
    window.HelpFilePathBox->setText(QStringLiteral("/elsewhere"));
    const QString installPath = Settings.InstallPath;

    // The colour chooser opens black the first time, then at the colour last chosen in it.
    colorAnswers_ = {QColor(255, 0, 0), std::nullopt, QColor(0, 0, 0x88)};
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    window.Button2Click(); // cancelled: the swatch keeps its colour
    window.Button5Click();
    ASSERT_EQ(colorAsked_.size(), 3u);
    EXPECT_EQ(colorAsked_[0], QColor(0, 0, 0));
    EXPECT_EQ(colorAsked_[1], QColor(255, 0, 0));
    EXPECT_EQ(colorAsked_[2], QColor(255, 0, 0));
    EXPECT_EQ(window.FCPanel->Color(), 0x0000FF);
    EXPECT_EQ(window.BCPanel->Color(), 0xFFFFFF);
    EXPECT_EQ(window.SCPanel->Color(), 0x880000);

    window.KSComboBox->setCurrentIndex(3);
    ASSERT_EQ(window.CSComboBox->currentIndex(), -1);
    window.SSComboBox->setCurrentIndex(0);
    QTest::mouseClick(window.ESaveButton, Qt::LeftButton);

    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Settings.CfgEditorFontColor, "FF0000");
    EXPECT_EQ(Settings.EditorFontColor, 0x0000FF);
    EXPECT_EQ(Settings.CfgEditorBackColor, "FFFFFF");
    EXPECT_EQ(Settings.CfgEditorStringColor, "000088");
    EXPECT_EQ(Settings.EditorStringColor, 0x880000);
    EXPECT_EQ(Settings.CfgEditorKeywordStyle, "Bold Italic");
    EXPECT_EQ(Settings.EditorKeywordStyle, FontStyleBit::Bold | FontStyleBit::Italic);
    // A list without a selection leaves its style alone.
    EXPECT_EQ(Settings.CfgEditorCommentStyle, "Underline");
    EXPECT_EQ(Settings.EditorCommentStyle, FontStyleBit::Underline);
    EXPECT_EQ(Settings.CfgEditorStringStyle, "Normal");
    EXPECT_EQ(Settings.EditorStringStyle, 0);
    EXPECT_EQ(StoredValue(UserSettingsFilePath(), "Editor Font Color"), "FF0000");

    EXPECT_EQ(Settings.CursorMode, 0);
    EXPECT_EQ(Settings.InstallPath, installPath);
    EXPECT_EQ(StoredValue(UserSettingsFilePath(), "Cursor Mode"), "OFF");
}

TEST_F(PreferencesTest, FontChooserFillsTheBoxesAndTheStyleSurvivesReopening) {
    ASSERT_NO_FATAL_FAILURE(
        LoadUserStore("Editor Font Name=IPAGothic\nEditor Font Size=13\nEditor Font Style=Italic\n"
                      "Editor Font Charset=abc\n"));
    {
        TLXOptionFrame window;
        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPointSize(14);
        chosen.setBold(true);
        chosen.setUnderline(true);
        fontAnswers_ = {std::nullopt, chosen};
        // Cancelled: nothing changes.
        window.EFChangeClick();
        EXPECT_EQ(window.EFNameBox->text(), "IPAGothic");
        EXPECT_EQ(window.EFCharSetBox->text(), "abc");
        QTest::mouseClick(window.EFChange, Qt::LeftButton);

        ASSERT_EQ(fontAsked_.size(), 2u);
        EXPECT_EQ(fontAsked_[1].family(), "IPAGothic");
        EXPECT_EQ(fontAsked_[1].pointSize(), 13);
        EXPECT_TRUE(fontAsked_[1].italic());
        EXPECT_FALSE(fontAsked_[1].bold());
        EXPECT_EQ(window.EFNameBox->text(), "DejaVu Sans Mono");
        EXPECT_EQ(window.EFSizeBox->text(), "14");
        EXPECT_EQ(window.EFStyleBox->text(), " Bold Underline");
        EXPECT_EQ(window.EFCharSetBox->text(), "0"); // the integer read of "abc"

        window.ESaveExitButtonClick();
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(Settings.CfgEditorFontStyle, " Bold Underline");
        EXPECT_EQ(Settings.EditorFontStyle, FontStyleBit::Bold | FontStyleBit::Underline);
        EXPECT_EQ(Settings.EditorFontName, "DejaVu Sans Mono");
        EXPECT_EQ(Settings.EditorFontSize, 14);
        EXPECT_EQ(Settings.CfgEditorFontCharset, "0");
        EXPECT_EQ(Settings.EditorFontCharset, 0);
    }
    // A new window shows the underlined style, so saving the page again keeps it.
    LoadSettings();
    TLXOptionFrame window;
    EXPECT_EQ(window.EFStyleBox->text(), " Bold Underline");
    window.ESaveButtonClick();
    EXPECT_EQ(Settings.EditorFontStyle, FontStyleBit::Bold | FontStyleBit::Underline);
}

TEST_F(PreferencesTest, RunWindowPageChangesTheRunWindowAtOnce) {
    TRunForm runForm;
    runForm.show();
    TLXOptionFrame window;
    const QColor editorBack = runForm.Memo()->palette().color(QPalette::Base);

    // Saving the editor page leaves the run window alone.
    window.BCPanel->SetColor(0x123456);
    window.ESaveButtonClick();
    EXPECT_EQ(runForm.Memo()->palette().color(QPalette::Base), editorBack);

    colorAnswers_ = {QColor(0x10, 0x20, 0x30), QColor(0xF0, 0xE0, 0xD0)};
    window.TBCRefButtonClick();
    window.TFCRefButtonClick();
    QFont chosen(QStringLiteral("DejaVu Sans Mono"));
    chosen.setPointSize(16);
    chosen.setItalic(true);
    fontAnswers_ = {chosen};
    window.TFRefButtonClick();
    QTest::mouseClick(window.TSaveButton, Qt::LeftButton);

    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(Settings.CfgTScreenBackColor, "102030");
    EXPECT_EQ(Settings.TScreenBackColor, 0x302010);
    EXPECT_EQ(Settings.CfgTScreenFontColor, "F0E0D0");
    EXPECT_EQ(Settings.CfgTScreenFontName, "DejaVu Sans Mono");
    EXPECT_EQ(Settings.CfgTScreenFontSize, "16");
    EXPECT_EQ(Settings.TScreenFontSize, 16);
    EXPECT_EQ(Settings.CfgTScreenFontStyle, " Italic");
    EXPECT_EQ(Settings.TScreenFontStyle, FontStyleBit::Italic);
    const QPalette palette = runForm.Memo()->palette();
    EXPECT_EQ(palette.color(QPalette::Base), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(palette.color(QPalette::Text), QColor(0xF0, 0xE0, 0xD0));
    EXPECT_EQ(runForm.Memo()->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(runForm.Memo()->font().pointSize(), 16);
    EXPECT_TRUE(runForm.Memo()->font().italic());
    EXPECT_FALSE(runForm.Memo()->font().bold());
}

TEST_F(PreferencesTest, SizePageTakesCurrentSizesAndStoresOnlyPositiveWholeNumbers) {
    TLxFrameForm frame;
    frame.resize(700, 500 + frame.menuBar()->sizeHint().height());
    TRunForm runForm(&frame);
    runForm.show();
    TLXOptionFrame window(&frame);
    window.show();

    QTest::mouseClick(window.MainCurrentSizeButton, Qt::LeftButton);
    EXPECT_EQ(window.MainWidthBox->text(), "700");
    EXPECT_EQ(window.MainHeightBox->text(), "500");

    Settings.CurrentEditorWidth = 432;
    Settings.CurrentEditorHeight = 210;
    QTest::mouseClick(window.EditorCurrentSizeButton, Qt::LeftButton);
    EXPECT_EQ(window.EditorWidthBox->text(), "432");
    EXPECT_EQ(window.EditorHeightBox->text(), "210");

    // The run window's size as stored gives it the same size at the next start (it was made from the
    // settings in force, so it gives them back).
    QTest::mouseClick(window.TScreenCurrentSizeButton, Qt::LeftButton);
    EXPECT_EQ(window.TScreenWidthBox->text(), QString::number(Settings.TScreenWidth));
    EXPECT_EQ(window.TScreenHeightBox->text(), QString::number(Settings.TScreenHeight));
    runForm.resize(700, 400);
    window.TScreenCurrentSizeButtonClick();
    EXPECT_EQ(window.TScreenWidthBox->text(), "700");
    EXPECT_EQ(window.TScreenHeightBox->text(), "379");

    // A size that is not a whole number of 1 or more is refused with a message; nothing is stored.
    const QString savedWidth = Settings.CfgMainFormWidth;
    const int savedTScreenWidth = Settings.TScreenWidth;
    for (const char* refused : {"812px", "abc", "-5", "12.7", "0", "", "99999999999"}) {
        window.MainWidthBox->setText(QStringLiteral("812"));
        window.TScreenWidthBox->setText(QString::fromLatin1(refused));
        messages_.clear();
        QTest::mouseClick(window.SSaveExitButton, Qt::LeftButton);
        ASSERT_EQ(messages_.size(), 1u) << refused;
        EXPECT_TRUE(messages_[0].Text.contains(QStringLiteral("実行画面初期サイズ"))) << refused;
        EXPECT_TRUE(window.isVisible()) << refused;
        EXPECT_EQ(Settings.CfgMainFormWidth, savedWidth) << refused;
        EXPECT_EQ(Settings.TScreenWidth, savedTScreenWidth) << refused;
        EXPECT_EQ(window.PageControl1->currentWidget(), window.TabSheet4);
    }
    EXPECT_FALSE(QFileInfo::exists(UserSettingsFilePath()));

    window.MainWidthBox->setText(QStringLiteral("812"));
    window.MainHeightBox->setText(QStringLiteral(" 480 "));
    window.TScreenWidthBox->setText(QStringLiteral("700"));
    const QSize frameSize = frame.size();
    window.RegiRadioButton->setChecked(true); // not applied: this is another page
    messages_.clear();
    QTest::mouseClick(window.SSaveExitButton, Qt::LeftButton);
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Settings.CfgMainFormWidth, "812");
    EXPECT_EQ(Settings.MainFormWidth, 812);
    EXPECT_EQ(Settings.MainFormHeight, 480);
    EXPECT_EQ(Settings.TScreenWidth, 700);
    EXPECT_EQ(Settings.EditorWidth, 432);
    EXPECT_EQ(Settings.EditorHeight, 210);
    EXPECT_EQ(frame.size(), frameSize); // open windows are not resized
    // The store chosen on the first page was not applied, so nothing was written.
    EXPECT_TRUE(Settings.CfgStoreMode.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(UserSettingsFilePath()));
}

TEST_F(PreferencesTest, CancelAppliesNothing) {
    ASSERT_NO_FATAL_FAILURE(LoadUserStore("Cursor Mode=OFF\n"));
    const QByteArray before = ReadBytes(UserSettingsFilePath());
    QPushButton* TLXOptionFrame::*cancels[] = {&TLXOptionFrame::CancelButton, &TLXOptionFrame::ECancelButton,
                                               &TLXOptionFrame::TCancelButton,
                                               &TLXOptionFrame::SCancelButton};
    for (auto cancel : cancels) {
        TLXOptionFrame window;
        window.show();
        window.CursorCheckBox->setChecked(true);
        window.IniRadioButton->setChecked(true);
        window.FCPanel->SetColor(0x0000FF);
        window.KSComboBox->setCurrentIndex(1);
        window.TBCPanel->SetColor(0x00FF00);
        window.TFNameBox->setText(QStringLiteral("Other"));
        window.MainWidthBox->setText(QStringLiteral("1"));
        QTest::mouseClick(window.*cancel, Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(Settings.CursorMode, 0);
    EXPECT_EQ(Settings.CfgStoreMode, "REGISTRY");
    EXPECT_EQ(Settings.CfgEditorFontColor, "000000");
    EXPECT_EQ(Settings.EditorKeywordStyle, FontStyleBit::Bold);
    EXPECT_EQ(Settings.TScreenBackColor, 0);
    EXPECT_EQ(Settings.TScreenFontName, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(Settings.MainFormWidth, 640);
    EXPECT_EQ(ReadBytes(UserSettingsFilePath()), before);
    EXPECT_FALSE(QFileInfo::exists(IniSettingsFilePath()));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(PreferencesTest, AStoreThatCannotBeWrittenIsReportedAndNothingIsLost) {
    ASSERT_NO_FATAL_FAILURE(LoadUserStore("Cursor Mode=OFF\n"));
    const QByteArray before = ReadBytes(UserSettingsFilePath());
    // The ini file cannot be made: its place is taken by a folder.
    ASSERT_TRUE(QDir().mkpath(IniSettingsFilePath()));

    TLXOptionFrame window;
    window.show();
    window.IniRadioButton->setChecked(true);
    window.CursorCheckBox->setChecked(true);
    QTest::mouseClick(window.SaveExitButton, Qt::LeftButton);

    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(messages_[0].Caption, QStringLiteral("Lorvex 環境設定"));
    EXPECT_TRUE(messages_[0].Text.startsWith(
        QStringLiteral("環境設定を %1 に保存できません。\n").arg(IniSettingsFilePath())))
        << messages_[0].Text.toStdString();
    EXPECT_TRUE(messages_[0].Text.endsWith(QStringLiteral("\n保存してある環境設定は変わっていません。")));
    // The window stays open for another try; the user store was not removed; memory holds the choice.
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(ReadBytes(UserSettingsFilePath()), before);
    EXPECT_EQ(Settings.CursorMode, 1);
    EXPECT_EQ(Settings.CfgStoreMode, "INIFILE");

    // A program folder that cannot be written (here: even by the superuser, as it is a file) is named
    // as the reason.
    const QString programFolder = dir_.filePath(QStringLiteral("installed"));
    ASSERT_TRUE(WriteBytes(programFolder, "a file"));
    Settings.ExeDir = programFolder;
    QTest::mouseClick(window.SaveButton, Qt::LeftButton);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1].Text, QStringLiteral("環境設定を %1/Lorvex.ini に保存できません。\n"
                                                "フォルダ %1 に書き込めません。\n"
                                                "保存してある環境設定は変わっていません。")
                                     .arg(programFolder));
    EXPECT_EQ(ReadBytes(UserSettingsFilePath()), before);

    // Choosing the user store again then works.
    window.RegiRadioButton->setChecked(true);
    QTest::mouseClick(window.SaveExitButton, Qt::LeftButton);
    EXPECT_EQ(messages_.size(), 2u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(StoredValue(UserSettingsFilePath(), "Cursor Mode"), "ON");
}

TEST_F(PreferencesTest, FolderChooserOpensAtTheBoxAndFillsIt) {
    TLXOptionFrame window;
    window.HelpFilePathBox->setText(QStringLiteral("/opt/old"));
    window.WorkingPathBox->setText(QStringLiteral("/home/work"));
    folderAnswers_ = {QStringLiteral("/opt/new"), std::nullopt};
    QTest::mouseClick(window.SelectHelpPathButton, Qt::LeftButton);
    QTest::mouseClick(window.SelectWorkPathButton, Qt::LeftButton);
    ASSERT_EQ(folderAsked_.size(), 2u);
    EXPECT_EQ(folderAsked_[0], "/opt/old");
    EXPECT_EQ(folderAsked_[1], "/home/work");
    EXPECT_EQ(window.HelpFilePathBox->text(), "/opt/new");
    EXPECT_EQ(window.WorkingPathBox->text(), "/home/work");
    EXPECT_NE(Settings.InstallPath, "/opt/new"); // only Save applies it
}

TEST_F(PreferencesTest, EveryMenuChoiceShowsTheOneWindowOwnedByTheFrame) {
    QWidget owner;
    TLXOptionFrame* first = TLXOptionFrame::Execute(&owner);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->parent(), &owner);
    EXPECT_TRUE(first->isWindow());
    // While it is shown, another choice brings it back as it stands.
    first->CursorCheckBox->setChecked(true);
    EXPECT_EQ(TLXOptionFrame::Execute(&owner), first);
    EXPECT_TRUE(first->CursorCheckBox->isChecked());
    // Closing hides it; the next choice shows the same window filled from the settings again.
    first->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(TLXOptionFrame::Execute(&owner), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->CursorCheckBox->isChecked());
    EXPECT_EQ(owner.findChildren<TLXOptionFrame*>().size(), 1);
}

} // namespace
