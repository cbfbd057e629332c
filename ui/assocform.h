// The association window: the user chooses what a double click on a program file (.lxt) does (run it
// with the editor minimised, run it with the editor shown, open it in an editor, or nothing) and OK
// records that choice for the desktop (platform/fileassoc.h). It shows the choice in force whenever it
// is activated.
#pragma once

#include <QString>
#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TLXASForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int ChoiceCount = 4;

    explicit TLXASForm(QWidget* parent = nullptr);

    // The menu command: shows the window owned by parent, made at the first call and used again.
    static TLXASForm* Execute(QWidget* parent);

    // The program a double click starts: the program folder (ExeDir) and the program's file name.
    static QString ProgramPath();

    // Reads the choice in force into AssocChoice, checks its radio button and shows its text in Edit1.
    void FormActivate();
    // Records the checked choice; reports success (and closes) or the failure (and stays open).
    void OkBtnClick();
    void CancelBtnClick();
    void AboutBtnClick();
    // Centres the window on the screen.
    void CentreOnScreen();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* AboutBtn = nullptr;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // RadioButton1 to RadioButton4, for choices 1 to 4.
    std::array<QRadioButton*, ChoiceCount> Radios() const;
};
