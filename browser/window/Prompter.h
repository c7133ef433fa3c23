#pragma once
// Every alert and file dialog of the program goes through one Prompter, so that tests can
// answer them. The window installs the real one (message boxes and file dialogs).
#include <QString>
#include <QStringList>

class Prompter {
public:
    enum Choice { Default = 1, Alternate = 0, Other = -1 };

    virtual ~Prompter() = default;
    // A critical alert with a single OK button.
    virtual void critical(const QString &title, const QString &message) = 0;
    // An informational alert with a single OK button.
    virtual void informational(const QString &title, const QString &message) = 0;
    // An alert with up to three buttons; an empty title leaves that button out.
    virtual Choice threeButton(const QString &title, const QString &message, const QString &defaultButton,
                               const QString &alternateButton, const QString &otherButton) = 0;
    // Folder / file choosers and a save dialog; a null string when cancelled.
    virtual QString chooseFolder(const QString &title, const QString &startFolder) = 0;
    virtual QString chooseFile(const QString &title, const QString &startFolder) = 0;
    virtual QString saveFile(const QString &title, const QString &startFolder, const QString &name) = 0;

    static Prompter &shared();
    static void setShared(Prompter *prompter);  // not owned
};

// A Prompter that records what was asked and answers from a script. For tests.
class RecordingPrompter : public Prompter {
public:
    struct Asked {
        QString kind, title, message;
    };
    QList<Asked> asked;
    QList<Choice> choices;      // answers for threeButton, taken in order (Default when empty)
    QStringList paths;          // answers for the choosers, taken in order (null when empty)

    void critical(const QString &title, const QString &message) override;
    void informational(const QString &title, const QString &message) override;
    Choice threeButton(const QString &title, const QString &message, const QString &, const QString &,
                       const QString &) override;
    QString chooseFolder(const QString &title, const QString &) override;
    QString chooseFile(const QString &title, const QString &) override;
    QString saveFile(const QString &title, const QString &, const QString &) override;

private:
    QString nextPath();
};
