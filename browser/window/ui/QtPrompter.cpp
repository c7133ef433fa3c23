#include "QtPrompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

void QtPrompter::critical(const QString &title, const QString &message) {
    QMessageBox::critical(parent_, title, message, QMessageBox::Ok);
}

void QtPrompter::informational(const QString &title, const QString &message) {
    QMessageBox::information(parent_, title, message, QMessageBox::Ok);
}

Prompter::Choice QtPrompter::threeButton(const QString &title, const QString &message, const QString &defaultButton,
                                         const QString &alternateButton, const QString &otherButton) {
    QMessageBox box(QMessageBox::Question, title, message, QMessageBox::NoButton, parent_);
    QPushButton *def = box.addButton(defaultButton, QMessageBox::AcceptRole);
    QPushButton *alt = alternateButton.isEmpty() ? nullptr : box.addButton(alternateButton, QMessageBox::ActionRole);
    QPushButton *other = otherButton.isEmpty() ? nullptr : box.addButton(otherButton, QMessageBox::RejectRole);
    box.setDefaultButton(def);
    if (other)
        box.setEscapeButton(other);
    box.exec();
    if (box.clickedButton() == def)
        return Default;
    if (alt && box.clickedButton() == alt)
        return Alternate;
    return Other;
}

QString QtPrompter::chooseFolder(const QString &title, const QString &startFolder) {
    return QFileDialog::getExistingDirectory(parent_, title, startFolder);
}

QString QtPrompter::chooseFile(const QString &title, const QString &startFolder) {
    return QFileDialog::getOpenFileName(parent_, title, startFolder);
}

QString QtPrompter::saveFile(const QString &title, const QString &startFolder, const QString &name) {
    return QFileDialog::getSaveFileName(parent_, title, startFolder + QLatin1Char('/') + name);
}
