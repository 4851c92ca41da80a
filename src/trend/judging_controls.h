#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QWidget>

#include "trend/selection_judging.h"

namespace qm4250 {

// How the charts are judged: the run rules switched on (a menu), rejects out of the limits, and
// frozen limits judging where a PN has them; and the buttons that ask for the charted PN's
// tolerance and for freezing its limits.
class JudgingControls : public QWidget {
    Q_OBJECT
  public:
    explicit JudgingControls(QWidget* parent);

    // The choices made, into the judging; the rules' button names those switched on.
    void chooseFor(SelectionJudging& judging);
    // Judging by frozen limits is offered where the PN charted has them; elsewhere the box is
    // off and disabled, the choice kept for the next PN that has.
    void offerFrozen(bool offered);

  signals:
    void changed();
    void toleranceAsked();
    void freezeAsked();

  private:
    QPushButton* rules_;
    QCheckBox* rejectsOut_;
    QCheckBox* judgeByFrozen_;
    bool byFrozen_;  // the engineer's choice, whatever the box shows
};

}  // namespace qm4250
