#pragma once
// The preset slot dialogs: the recall panel (with renaming), the slot name
// prompt and the slot chooser for saving a plan.
#include <QPushButton>
#include <array>
#include <memory>
#include <string>

#include "dialogs/modal_dialog.h"
#include "dialogs/preset_slots.h"

class CQelProcessor;
class QLabel;
class QLineEdit;

// A slot button: its text wraps onto several lines, and it remembers the
// keyboard modifiers of the click that pressed it.
class CSlotButton : public QPushButton {
    Q_OBJECT
public:
    CSlotButton(const QString& text, int id, QWidget* parent);
    Qt::KeyboardModifiers ClickModifiers() const { return modifiers_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Qt::KeyboardModifiers modifiers_;
};

// Recalls presets on the current processor while it is open; Ctrl+click
// renames a slot instead.
class C4H1ShortcutKeysReadPlanDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit C4H1ShortcutKeysReadPlanDlg(QWidget* parent = nullptr);

    // Asks for a slot's new name; empty when cancelled.
    QString AskPlanName(const QString& oldName);
    void RecallPlan(int slot);
    void RenamePlanButton(int slot);

    CSlotButton* SlotButton(int slot) const { return buttons_[size_t(slot - 1)]; }
    QPushButton* DefaultLayoutButton() const { return defaultLayout_; }

protected:
    void OnInitDialog() override;

private:
    void OnSlotClicked(int slot);

    std::array<CSlotButton*, kSlotCount> buttons_{};
    QLabel* prompt_ = nullptr;
    QPushButton* defaultLayout_ = nullptr;
};

// Asks for a slot's new name; the old one stands in the edit at opening.
class CDlgModifySavedPlanName : public CModalDialog {
    Q_OBJECT
public:
    explicit CDlgModifySavedPlanName(const QString& oldName, QWidget* parent = nullptr);
    // Empty until OK succeeded.
    const std::string& NewName() const { return newName_; }
    QLineEdit* NameEdit() const { return edit_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    QString oldName_;
    std::string newName_;
    QLabel* label_ = nullptr;
    QLineEdit* edit_ = nullptr;
};

// Chooses the slot a plan is saved into: pressing a slot closes with OK.
class C4H1ShortcutKeysDlg : public CModalDialog {
    Q_OBJECT
public:
    // The slots beyond the processor's slot count are disabled.
    explicit C4H1ShortcutKeysDlg(std::shared_ptr<CQelProcessor> processor, QWidget* parent = nullptr);

    int32_t m_nSlot = 0; // the chosen slot after OK

    QPushButton* SlotButton(int slot) const { return buttons_[size_t(slot - 1)]; }

protected:
    void OnInitDialog() override;

private:
    std::shared_ptr<CQelProcessor> processor_;
    std::array<QPushButton*, kSlotCount> buttons_{};
    QLabel* prompt_ = nullptr;
};

// The main frame's saved-plan panel (caption button 26): opens the recall
// panel when the active view is a wall view (kind 2) or a switch view (3).
void OnRecallPreset(QWidget* parent, int activeViewKind);
