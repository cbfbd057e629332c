// The INPUT dialog: the modal window through which INPUT and LINE INPUT get a line of text. It is shown
// on the user-interface thread while the interpreter waits (the engine reaches it through
// ShowInputDialogHook). OK hands the typed text back and takes the in-progress echo line out of the run
// window; Cancel asks the program to stop.
#pragma once

#include "engine/inputexec.h"
#include "ui/windowsstate.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// It has no meta-object of its own (it needs none): the unit is linked only into programs that use it.
class TInputNumForm : public QDialog {
public:
    explicit TInputNumForm(const InputDialogRequest& request, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;       // the prompt
    QLineEdit* Edit1 = nullptr;     // the answer
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // Cancel

    // OK (also Enter in Edit1): keeps the text, removes the in-progress echo line, closes.
    void Button1Click();
    // Cancel (also Escape and closing the window): raises the stop request and closes.
    void Button2Click();

    bool Accepted() const { return accepted_; }
    const QString& Answer() const { return answer_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void FormCreate();
    void SetupNumInput();
    void SetupLineInput();
    void LayOut(int clientWidth, int okLeft, int cancelLeft, int editWidth);
    void Place();

    InputDialogRequest request_;
    QString answer_;
    bool accepted_ = false;
    bool finished_ = false;
    QTimer* stopWatch_ = nullptr;
};

// The engine's hooks: show the dialog modally, and show the run window again afterwards.
bool ShowInputDialog(const InputDialogRequest& request, QString& answer);
void ShowRunFormAfterInput();
// Installs both hooks (also done when this unit is linked in; calling it again is harmless).
void InstallInputDialog();

// Removes the run window's last line (the in-progress echo) and counts it out of OutputLineCount.
void RemoveLastRunLine();
