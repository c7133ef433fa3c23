#include "PreferencesPanel.h"

#include "Defaults.h"
#include "DefaultsKeys.h"
#include "NotificationCenter.h"
#include "Preferences.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
PreferencesPanel *gShared = nullptr;

PreferencesPanel::Chooser &chooser() {
    static PreferencesPanel::Chooser c = [](const QString &title, bool folders) {
        return folders ? QFileDialog::getExistingDirectory(nullptr, title) : QFileDialog::getOpenFileName(nullptr, title);
    };
    return c;
}
}  // namespace

void PreferencesPanel::setChooser(Chooser c) { chooser() = std::move(c); }

PreferencesPanel *PreferencesPanel::sharedPreferences() {
    if (!gShared)
        gShared = new PreferencesPanel;
    return gShared;
}

PreferencesPanel *PreferencesPanel::sharedInstance() { return gShared; }

PreferencesPanel::~PreferencesPanel() {
    if (gShared == this)
        gShared = nullptr;
    delete panel.data();
}

void PreferencesPanel::loadPanel() {
    panel = new QDialog;
    panel->setObjectName(QStringLiteral("preferencesPanel"));
    panel->setWindowTitle(tr("Preferences"));
    auto *layout = new QVBoxLayout(panel);
    auto *form = new QFormLayout;
    auto row = [this, form](const QString &label, QLineEdit **field, const QString &name, void (PreferencesPanel::*choose)()) {
        *field = new QLineEdit(panel);
        (*field)->setObjectName(name);
        (*field)->setMinimumWidth(320);
        auto *button = new QPushButton(tr("Choose..."), panel);
        button->setObjectName(name + QStringLiteral("Button"));
        connect(button, &QPushButton::clicked, this, [this, choose] { (this->*choose)(); });
        auto *h = new QHBoxLayout;
        h->addWidget(*field, 1);
        h->addWidget(button);
        form->addRow(label, h);
    };
    row(tr("Audio Editor"), &audioEditor, QStringLiteral("audioEditor"), &PreferencesPanel::setAudioEditorButton);
    row(tr("Favorites Directory"), &favDir, QStringLiteral("favDir"), &PreferencesPanel::setFavDirButton);
    row(tr("Startup Directory"), &startupDirectory, QStringLiteral("startupDirectory"),
        &PreferencesPanel::setStartupDirectoryButton);
    layout->addLayout(form);
    auto box = [this, layout](const QString &title, const QString &name) {
        auto *b = new QCheckBox(title, panel);
        b->setObjectName(name);
        layout->addWidget(b);
        return b;
    };
    onlyShowAudioFiles = box(tr("Only Show Audio Files"), QStringLiteral("onlyShowAudioFiles"));
    onlyShowAudioFiles->setToolTip(tr("When checked, the Browser lists every file, not only audio files"));
    roundOffBPM = box(tr("Round Off BPM"), QStringLiteral("roundOffBPM"));
    postFixBPM = box(tr("Postfix BPM"), QStringLiteral("postFixBPM"));
    doNotCreateFavoritesFolder = box(tr("Do Not Create Favorites Folder"), QStringLiteral("doNotCreateFavoritesFolder"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, panel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &PreferencesPanel::okButton);
    connect(buttons, &QDialogButtonBox::rejected, this, &PreferencesPanel::cancelButton);
    // The close box rejects the dialog: it behaves like Cancel.
    connect(panel, &QDialog::finished, this, &PreferencesPanel::windowWillClose);

    for (auto [field, key] : {std::pair{favDir, FavoritesDirectoryKey}, std::pair{startupDirectory, StartupDirectoryKey},
                              std::pair{audioEditor, AudioEditorKey}}) {
        const QString value = Defaults::stringForKey(key);
        if (!value.isNull())
            field->setText(value);
    }
    onlyShowAudioFiles->setChecked(Defaults::boolForKey(OnlyShowAudioFilesKey));
    roundOffBPM->setChecked(Defaults::boolForKey(RoundOffBPMKey));
    postFixBPM->setChecked(Defaults::boolForKey(PostFixBPMKey));
    doNotCreateFavoritesFolder->setChecked(Defaults::boolForKey(DoNotCreateFavoritesFolder));
    originalOnlyShowAudioFiles = onlyShowAudioFiles->isChecked();
}

void PreferencesPanel::show(std::function<void()> reloadBrowserView) {
    const bool fresh = !panel;
    if (fresh)
        loadPanel();
    browser = std::move(reloadBrowserView);
    if (fresh) {
        panel->adjustSize();
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame = panel->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            panel->move(frame.topLeft());
        }
        const QByteArray saved = Defaults::bytesForKey(PreferenceWindowKey);
        if (!saved.isEmpty())
            panel->restoreGeometry(saved);
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
}

void PreferencesPanel::okButton() {
    if (!panel)
        return;
    Defaults::setString(favDir->text(), FavoritesDirectoryKey);
    Defaults::setString(startupDirectory->text(), StartupDirectoryKey);
    Defaults::setString(audioEditor->text(), AudioEditorKey);
    Defaults::setBool(onlyShowAudioFiles->isChecked(), OnlyShowAudioFilesKey);
    Defaults::setBool(roundOffBPM->isChecked(), RoundOffBPMKey);
    Defaults::setBool(postFixBPM->isChecked(), PostFixBPMKey);
    Defaults::setBool(doNotCreateFavoritesFolder->isChecked(), DoNotCreateFavoritesFolder);
    if (onlyShowAudioFiles->isChecked() != originalOnlyShowAudioFiles && browser)
        browser();
    // Normalises the stored folder (two leading slashes, a file's path) and announces it.
    Preferences::makeFavortiesDirectory(favDir->text());
    NotificationCenter::defaultCenter().post(kFavoritesDirectoryDidChange, this);
    panel->accept();
}

void PreferencesPanel::cancelButton() {
    if (panel)
        panel->reject();
}

void PreferencesPanel::windowWillClose() {
    if (closing_)
        return;
    closing_ = true;
    if (panel)
        Defaults::setBytes(panel->saveGeometry(), PreferenceWindowKey);
    Defaults::synchronize();
    // The next opening builds a new instance at once, even before this one is gone.
    if (gShared == this)
        gShared = nullptr;
    deleteLater();
}

void PreferencesPanel::setAudioEditorButton() {
    const QString chosen = chooser()(QString(), false);
    if (!chosen.isNull() && audioEditor)
        audioEditor->setText(chosen);
}

void PreferencesPanel::setFavDirButton() {
    const QString chosen = chooser()(tr("Choose Favorites Folder"), true);
    if (!chosen.isNull() && favDir) {
        favDir->setText(chosen);
        favDir->selectAll();
    }
}

void PreferencesPanel::setStartupDirectoryButton() {
    const QString chosen = chooser()(tr("Choose Startup Folder"), true);
    if (!chosen.isNull() && startupDirectory) {
        startupDirectory->setText(chosen);
        startupDirectory->selectAll();
    }
}
