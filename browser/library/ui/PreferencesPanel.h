#pragma once
// The preferences panel: seven settings (three folders or applications, four check boxes),
// stored only by OK. At most one instance exists, alive while the panel is open; the next
// opening after a close builds a new one that reads the defaults again. Main thread only.
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QCheckBox;
class QDialog;
class QLineEdit;

class PreferencesPanel : public QObject {
    Q_OBJECT
public:
    // Lets the user choose a file or application (folders == false) or a folder; a null
    // string when cancelled. The program answers through its prompter; tests answer directly.
    using Chooser = std::function<QString(const QString &title, bool folders)>;
    static void setChooser(Chooser chooser);

    // The shared instance, created on first use.
    static PreferencesPanel *sharedPreferences();
    // The shared instance while the panel is open, null otherwise.
    static PreferencesPanel *sharedInstance();

    // Builds and fills the panel on the first call, then (every time) remembers whom to tell
    // when "Only Show Audio Files" changes, centres the panel, restores its saved frame and
    // brings it to the front. A second call while open keeps what the user typed.
    void show(std::function<void()> reloadBrowserView);

    void okButton();
    void cancelButton();
    // The panel closed (OK, Cancel or its close box): flush the defaults, save the frame and
    // let the instance go at the end of the current event.
    void windowWillClose();

    void setAudioEditorButton();
    void setFavDirButton();
    void setStartupDirectoryButton();

    // ---- Fields ----
    QPointer<QDialog> panel;
    QLineEdit *audioEditor = nullptr;
    QLineEdit *favDir = nullptr;
    QLineEdit *startupDirectory = nullptr;
    QCheckBox *onlyShowAudioFiles = nullptr;
    QCheckBox *roundOffBPM = nullptr;
    QCheckBox *postFixBPM = nullptr;
    QCheckBox *doNotCreateFavoritesFolder = nullptr;
    bool originalOnlyShowAudioFiles = false;
    std::function<void()> browser;

private:
    PreferencesPanel() = default;
    ~PreferencesPanel() override;  // clears the shared reference and releases the panel
    void loadPanel();
    bool closing_ = false;
};
