#include "tests/support/ui/scripted_modal.h"

#include <QDialog>
#include <gtest/gtest.h>

namespace tavrix::test {
namespace {

const char* kindName(Prompt::Kind kind)
{
    switch (kind) {
    case Prompt::Inform: return "message box";
    case Prompt::YesNo: return "yes/no question";
    case Prompt::Dialog: return "dialog";
    case Prompt::Menu: return "popup menu";
    case Prompt::File: return "file chooser";
    case Prompt::Colour: return "colour chooser";
    }
    return "prompt";
}

} // namespace

void ScriptedModal::expectInform()
{
    answers_.push_back(Answer(Prompt::Inform));
}

void ScriptedModal::answerYesNo(bool yes)
{
    Answer a(Prompt::YesNo);
    a.yes = yes;
    answers_.push_back(a);
}

void ScriptedModal::answerDialog(int result)
{
    Answer a(Prompt::Dialog);
    a.result = result;
    answers_.push_back(a);
}

void ScriptedModal::answerDialog(std::function<int(QDialog&)> fill)
{
    Answer a(Prompt::Dialog);
    a.fill = std::move(fill);
    answers_.push_back(a);
}

void ScriptedModal::answerMenu(int id)
{
    Answer a(Prompt::Menu);
    a.result = id;
    answers_.push_back(a);
}

void ScriptedModal::answerMenu(std::function<int(const ui::MenuSpec&, ui::PopupWatcher*)> choose)
{
    Answer a(Prompt::Menu);
    a.choose = std::move(choose);
    answers_.push_back(a);
}

void ScriptedModal::answerFile(const QString& path)
{
    Answer a(Prompt::File);
    a.path = path;
    answers_.push_back(a);
}

void ScriptedModal::answerColour(std::optional<ui::ColorRef> colour)
{
    Answer a(Prompt::Colour);
    a.colour = colour;
    answers_.push_back(a);
}

void ScriptedModal::reset()
{
    answers_.clear();
    prompts_.clear();
    openPopups_.clear();
}

std::optional<ScriptedModal::Answer> ScriptedModal::take(Prompt prompt)
{
    const Prompt::Kind kind = prompt.kind;
    const QString text = prompt.text;
    prompts_.push_back(std::move(prompt));
    if (answers_.empty() || answers_.front().kind != kind) {
        ADD_FAILURE() << "unscripted " << kindName(kind) << ": " << text.toStdString();
        return std::nullopt;
    }
    Answer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

void ScriptedModal::inform(QWidget*, const QString& text)
{
    take(Prompt(Prompt::Inform, text));
}

bool ScriptedModal::askYesNo(QWidget*, const QString& text)
{
    const auto a = take(Prompt(Prompt::YesNo, text));
    return a && a->yes;
}

int ScriptedModal::runDialog(QDialog& dialog)
{
    auto a = take(Prompt(Prompt::Dialog, dialog.windowTitle()));
    if (!a)
        return QDialog::Rejected;
    if (a->fill)
        return a->fill(dialog);
    return a->result;
}

int ScriptedModal::popupMenu(QWidget*, const ui::MenuSpec& menu, const QPoint& globalPos,
                             const ui::PopupOptions& options)
{
    Prompt p(Prompt::Menu, menu.text);
    p.menu = menu;
    p.popup = options;
    p.pos = globalPos;
    const auto a = take(std::move(p));
    if (!a)
        return 0;
    if (!a->choose)
        return a->result;
    const std::size_t index = prompts_.size() - 1;
    openPopups_.push_back(index);
    const int result = a->choose(menu, options.watcher);
    openPopups_.pop_back();
    return prompts_[index].cancelled ? 0 : result;
}

void ScriptedModal::cancelPopup()
{
    if (!openPopups_.empty())
        prompts_[openPopups_.back()].cancelled = true;
}

QString ScriptedModal::chooseFile(QWidget*, const ui::FileChoice& choice)
{
    Prompt p(Prompt::File, choice.title);
    p.file = choice;
    const auto a = take(std::move(p));
    return a ? a->path : QString();
}

std::optional<ui::ColorRef> ScriptedModal::chooseColour(QWidget*, ui::ColorRef initial)
{
    Prompt p(Prompt::Colour);
    p.colour = initial;
    const auto a = take(std::move(p));
    return a ? a->colour : std::nullopt;
}

ScriptedModal& scriptedModal()
{
    static ScriptedModal modal;
    return modal;
}

} // namespace tavrix::test
