#pragma once
// What the cycle-plan pane's new, edit and run actions (and its double
// click) do, apart from the pane: each returns whether the list of cycle
// plans changed, after which the pane refills its rows.
class QWidget;

// An empty cycle plan in the editor; on "保存" the list is written.
bool NewCyclePlan(QWidget* parent);
// The cycle plan at that index of the manager's list, edited on a copy;
// on "保存" the copy goes back into it and the list is written. Nothing
// for an index outside the list.
bool EditCyclePlanAt(QWidget* parent, int index);
// Plays the cycle plan at that index until the operator closes the run
// window; nothing for an index outside the list.
void RunCyclePlanAt(QWidget* parent, int index);
