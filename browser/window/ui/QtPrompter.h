#pragma once
#include "Prompter.h"

#include <QPointer>
#include <QWidget>

// Alerts and file dialogs as message boxes and file dialogs over the main window.
class QtPrompter : public Prompter {
public:
    void setParentWindow(QWidget *window) { parent_ = window; }
    void critical(const QString &title, const QString &message) override;
    void informational(const QString &title, const QString &message) override;
    Choice threeButton(const QString &title, const QString &message, const QString &defaultButton,
                       const QString &alternateButton, const QString &otherButton) override;
    QString chooseFolder(const QString &title, const QString &startFolder) override;
    QString chooseFile(const QString &title, const QString &startFolder) override;
    QString saveFile(const QString &title, const QString &startFolder, const QString &name) override;

private:
    QPointer<QWidget> parent_;
};
