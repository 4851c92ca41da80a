#include "trend/judging_controls.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "trend/rule_names.h"

namespace qm4250 {

JudgingControls::JudgingControls(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // A push button: it keeps room for its menu's arrow beside the rules' names, as a tool button
    // does not.
    rules_ = new QPushButton(this);
    rules_->setObjectName("runRules");
    auto* menu = new QMenu(rules_);
    for (RunRule rule : kAllRunRules) {
        // The rule's first letter picks it, a second press the next of its kind.
        QAction* action = menu->addAction("&" + RuleName(rule) + ": " + RuleDescription(rule));
        action->setObjectName("rule " + RuleName(rule));
        action->setData(static_cast<int>(rule));
        action->setCheckable(true);
        action->setChecked(std::count(kDefaultRunRules.begin(), kDefaultRunRules.end(), rule) > 0);
        connect(action, &QAction::toggled, this, &JudgingControls::changed);
    }
    rules_->setMenu(menu);
    const SelectionJudging initially;
    rejectsOut_ = new QCheckBox("Rejects &out of the limits", this);
    rejectsOut_->setObjectName("rejectsOutOfLimits");
    rejectsOut_->setChecked(initially.rejectsOutOfLimits);
    judgeByFrozen_ = new QCheckBox("Judge by fro&zen limits", this);
    judgeByFrozen_->setObjectName("judgeByFrozen");
    judgeByFrozen_->setChecked(initially.judgeByFrozen);
    byFrozen_ = initially.judgeByFrozen;
    connect(rejectsOut_, &QCheckBox::toggled, this, &JudgingControls::changed);
    connect(judgeByFrozen_, &QCheckBox::toggled, this, [this](bool checked) {
        byFrozen_ = checked;
        emit changed();
    });
    layout->addWidget(rules_);
    layout->addWidget(rejectsOut_);
    layout->addWidget(judgeByFrozen_);
    auto button = [&](const char* name, const QString& text, void (JudgingControls::*asked)()) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(name);
        connect(pushButton, &QPushButton::clicked, this, asked);
        layout->addWidget(pushButton);
    };
    button("toleranceLimits", "&Tolerance…", &JudgingControls::toleranceAsked);
    button("freezeLimits", "&Freeze limits…", &JudgingControls::freezeAsked);
    layout->addStretch();
}

void JudgingControls::chooseFor(SelectionJudging& judging) {
    judging.rules.clear();
    QStringList names;
    for (QAction* action : rules_->menu()->actions()) {
        if (action->isChecked()) {
            judging.rules.push_back(static_cast<RunRule>(action->data().toInt()));
            names << RuleName(judging.rules.back());
        }
    }
    rules_->setText("R&ules: " + (names.isEmpty() ? QString("none") : names.join(", ")));
    judging.rejectsOutOfLimits = rejectsOut_->isChecked();
    judging.judgeByFrozen = byFrozen_;
}

void JudgingControls::offerFrozen(bool offered) {
    QSignalBlocker quiet(judgeByFrozen_);
    judgeByFrozen_->setEnabled(offered);
    judgeByFrozen_->setChecked(offered && byFrozen_);
    judgeByFrozen_->setToolTip(offered ? QString() : "The PN charted has no frozen limits");
}

}  // namespace qm4250
