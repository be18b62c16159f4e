#include "messageboxes.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace dyma::gui {

namespace {

DialogRunner& CurrentRunner() {
    static DialogRunner runner;
    return runner;
}

QtUserMessages& BoxMessages() {
    static QtUserMessages boxes;
    return boxes;
}

UserMessages*& CurrentMessages() {
    static UserMessages* current = nullptr;
    return current;
}

int ShowBox(QMessageBox::Icon icon, const char* title, const std::string& text, bool question) {
    QMessageBox box(icon, QString::fromUtf8(title), QString::fromStdString(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (question) {
        QPushButton* yes = box.addButton(QStringLiteral("Tak"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("Nie"), QMessageBox::NoRole);
        box.setEscapeButton(no);
        box.setDefaultButton(yes);
    } else {
        box.setEscapeButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    }
    RunModal(box);
    return box.clickedButton() && box.buttonRole(box.clickedButton()) == QMessageBox::YesRole ? 1 : 0;
}

}  // namespace

int RunModal(QDialog& dialog) {
    if (CurrentRunner()) return CurrentRunner()(dialog);
    return dialog.exec();
}

ScopedDialogRunner::ScopedDialogRunner(DialogRunner runner) : previous_(std::move(CurrentRunner())) {
    CurrentRunner() = std::move(runner);
}
ScopedDialogRunner::~ScopedDialogRunner() { CurrentRunner() = std::move(previous_); }

void QtUserMessages::Warning(const std::string& text) { ShowBox(QMessageBox::Warning, kWarningTitle, text, false); }
void QtUserMessages::Information(const std::string& text) {
    ShowBox(QMessageBox::Information, kInformationTitle, text, false);
}
bool QtUserMessages::Question(const std::string& text) {
    return ShowBox(QMessageBox::Question, kQuestionTitle, text, true) == 1;
}

SaveChoice QtUserMessages::AskToSave(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kQuestionTitle), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* save = box.addButton(QStringLiteral("Zapisz"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Nie zapisuj"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Anuluj"), QMessageBox::RejectRole);
    save->setObjectName("buttonSave");
    discard->setObjectName("buttonDiscard");
    cancel->setObjectName("buttonCancel");
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    RunModal(box);
    if (box.clickedButton() == save) return SaveChoice::Save;
    if (box.clickedButton() == discard) return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

PolarityChoice QtUserMessages::AskPolarity(const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kQuestionTitle), QString::fromStdString(text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* plus = box.addButton(QStringLiteral("+"), QMessageBox::YesRole);
    QPushButton* minus = box.addButton(QStringLiteral("-"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Anuluj"), QMessageBox::RejectRole);
    plus->setObjectName("buttonPlus");
    minus->setObjectName("buttonMinus");
    cancel->setObjectName("buttonCancel");
    // No default: Enter must not choose a polarity the operator did not see.
    box.setEscapeButton(cancel);
    RunModal(box);
    if (box.clickedButton() == plus) return PolarityChoice::Plus;
    if (box.clickedButton() == minus) return PolarityChoice::Minus;
    return PolarityChoice::Cancel;
}

UserMessages& Messages() { return CurrentMessages() ? *CurrentMessages() : BoxMessages(); }

ScopedMessages::ScopedMessages(UserMessages& messages) : previous_(CurrentMessages()) { CurrentMessages() = &messages; }
ScopedMessages::~ScopedMessages() { CurrentMessages() = previous_; }

}  // namespace dyma::gui
