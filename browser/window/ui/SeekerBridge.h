#pragma once
// The window's side of the Seeker's controller and of the autopilot (private to the window).
#include "BrowserDelegate.h"
#include "ColumnBrowser.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "Prompter.h"
#include "SeekerTableModel.h"
#include "SrkTrace.h"
#include "SuperProgressIndicator.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

// What the Seeker and the autopilot ask of the window.
class BrowserDelegate::SeekerBridge : public SeekerUi, public AutopilotHost {
public:
    explicit SeekerBridge(BrowserDelegate *c) : c_(c) {}

    // ---- SeekerUi ----
    QString browserCachePath() override { return c_->folderModel_._browserCachePath; }
    void stopPlayAll() override { c_->stopPlayAll(); }
    QString filterFieldText() override { return c_->_filterField->currentText(); }
    void setFilterFieldText(const QString &text) override { c_->_filterField->setEditText(text); }
    void setSeekerInfoLine(const QString &text) override {
        c_->_seekerInfoLine->setText(text);
        if (!text.isEmpty())
            srkTrace(QStringLiteral("seeker status %1").arg(text));
    }
    void enableSeekerButtons(bool enabled) override {
        c_->_filterField->setEnabled(enabled);
        c_->_filterButton->setEnabled(enabled);
        c_->_scanSaveButton->setEnabled(enabled);
        if (enabled && c_->focusFilterWhenEnabled_)
            c_->focusFilterField();
    }
    void showProgressBar(const QString *text, double maxSize) override {
        if (text) {
            c_->_scanbarText->setText(QString());
            c_->_scanbarText->setText(*text);
        }
        maxSize_ = maxSize;
        c_->_scanbar->setRange(0, 0);  // indeterminate: the bar animates
        c_->_scanbar->setValue(0);
        c_->_scanbar->show();
    }
    void updateProgrssBar(double value) override {
        c_->_scanbar->show();
        c_->_scanbar->setRange(0, int(maxSize_));
        c_->_scanbar->setValue(int(value));
    }
    void hideProgressBar() override {
        c_->_scanbar->hide();
        c_->_scanbarText->setText(QString());
        c_->_scanbar->setRange(0, 100);
        c_->_scanbar->setValue(0);
    }
    void reloadSeekerTable() override {
        c_->_seeker->clearSelection();
        c_->seekerTableModel_->reloadData();
    }
    void showSeekerUseSavedResults(bool on) override { show(c_->_seekerUseSavedResults, on, SeekerUseSavedResultsKey); }
    void showSeekerUseDeepScan(bool on) override {
        c_->_seekerUseDeepScan->setChecked(on);
        Defaults::setBool(on, SeekerUseDeepScanKey);
    }
    void showOpenInSeeker(bool on) override { show(c_->_openInSeeker, on, OpenInSeekerKey); }
    void showFindInPaths(bool on) override { show(c_->_findInPaths, on, SeekerFindsInPathsKey); }
    bool informationalQuestion(const QString &message, const QString &defaultButton,
                               const QString &otherButton) override {
        return Prompter::shared().threeButton(kAppName, message, defaultButton, QString(), otherButton) ==
               Prompter::Default;
    }
    void informational(const QString &message) override { Prompter::shared().informational(kAppName, message); }
    void critical(const QString &message) override { Prompter::shared().critical(kAppName, message); }

    // ---- AutopilotHost ----
    void selectBrowserRow(int row) override { c_->browser->selectRowInLastColumn(row); }
    void selectSeekerRow(int row) override {
        const QModelIndex index = c_->seekerTableModel_->index(row, 0);
        c_->_seeker->selectRow(row);
        c_->_seeker->scrollTo(index);
    }
    void setFilename(const QString &path) override { c_->setFilename(path); }
    bool clickIt(int tab) override {
        c_->clickIt(tab == 0 ? static_cast<QObject *>(c_->browser) : static_cast<QObject *>(c_->_seeker), true);
        return c_->_sound != nullptr;
    }

private:
    static void show(QAction *item, bool on, const QString &key) {
        item->setChecked(on);
        Defaults::setBool(on, key);
    }
    BrowserDelegate *c_;
    double maxSize_ = 100.0;
};

