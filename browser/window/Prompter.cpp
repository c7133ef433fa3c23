#include "Prompter.h"

namespace {
Prompter *gShared = nullptr;
}

Prompter &Prompter::shared() {
    if (!gShared) {
        // Without a window system nothing can be asked: record and take the defaults.
        static RecordingPrompter fallback;
        return fallback;
    }
    return *gShared;
}

void Prompter::setShared(Prompter *prompter) { gShared = prompter; }

void RecordingPrompter::critical(const QString &title, const QString &message) {
    asked.append({QStringLiteral("critical"), title, message});
}

void RecordingPrompter::informational(const QString &title, const QString &message) {
    asked.append({QStringLiteral("informational"), title, message});
}

Prompter::Choice RecordingPrompter::threeButton(const QString &title, const QString &message, const QString &,
                                                const QString &, const QString &) {
    asked.append({QStringLiteral("threeButton"), title, message});
    return choices.isEmpty() ? Default : choices.takeFirst();
}

QString RecordingPrompter::nextPath() { return paths.isEmpty() ? QString() : paths.takeFirst(); }

QString RecordingPrompter::chooseFolder(const QString &title, const QString &) {
    asked.append({QStringLiteral("chooseFolder"), title, QString()});
    return nextPath();
}

QString RecordingPrompter::chooseFile(const QString &title, const QString &) {
    asked.append({QStringLiteral("chooseFile"), title, QString()});
    return nextPath();
}

QString RecordingPrompter::saveFile(const QString &title, const QString &, const QString &) {
    asked.append({QStringLiteral("saveFile"), title, QString()});
    return nextPath();
}
