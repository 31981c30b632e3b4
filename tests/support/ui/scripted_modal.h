#pragma once
#include "platform/ui/modal.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace tavrix::test {

// What the code under test asked the operator.
struct Prompt {
    enum Kind { Inform, YesNo, Dialog, Menu, File, Colour };
    Prompt(Kind k, const QString& t = QString()) : kind(k), text(t) {}
    Kind kind = Inform;
    QString text; // message, dialog title, file chooser title
    ui::MenuSpec menu;
    ui::PopupOptions popup;
    QPoint pos;
    bool cancelled = false; // the popup was cancelled while it was open
    ui::FileChoice file;
    ui::ColorRef colour = ui::kNoColor; // the colour offered
};

// The modal host of the UI tests: records every prompt and answers from a
// queue. A prompt with no answer queued for it fails the test with its text
// and gets the negative answer at once, so no test ever blocks.
class ScriptedModal final : public ui::ModalHost {
public:
    void expectInform();
    void answerYesNo(bool yes);
    void answerDialog(int result);
    // `fill` works on the dialog as the operator would and returns its result.
    void answerDialog(std::function<int(QDialog&)> fill);
    void answerMenu(int id);
    // `choose` runs while the popup is open (it may drive the watcher, close
    // windows or quit); its result is the answer, or 0 when the popup was
    // cancelled meanwhile.
    void answerMenu(std::function<int(const ui::MenuSpec&, ui::PopupWatcher*)> choose);
    void answerFile(const QString& path);
    void answerColour(std::optional<ui::ColorRef> colour);

    const std::vector<Prompt>& prompts() const { return prompts_; }
    std::size_t pendingAnswers() const { return answers_.size(); }
    void reset();

    void inform(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& text) override;
    int runDialog(QDialog& dialog) override;
    int popupMenu(QWidget* parent, const ui::MenuSpec& menu, const QPoint& globalPos,
                  const ui::PopupOptions& options) override;
    void cancelPopup() override;
    QString chooseFile(QWidget* parent, const ui::FileChoice& choice) override;
    std::optional<ui::ColorRef> chooseColour(QWidget* parent, ui::ColorRef initial) override;

private:
    struct Answer {
        explicit Answer(Prompt::Kind k) : kind(k) {}
        Prompt::Kind kind = Prompt::Inform;
        bool yes = false;
        int result = 0;
        std::function<int(QDialog&)> fill;
        std::function<int(const ui::MenuSpec&, ui::PopupWatcher*)> choose;
        QString path;
        std::optional<ui::ColorRef> colour;
    };
    // Records the prompt and takes its answer; null when none was queued.
    std::optional<Answer> take(Prompt prompt);

    std::deque<Answer> answers_;
    std::vector<Prompt> prompts_;
    std::vector<std::size_t> openPopups_; // prompts whose popup is open, newest last
};

// The instance the UI test main installs for the whole run.
ScriptedModal& scriptedModal();

} // namespace tavrix::test
