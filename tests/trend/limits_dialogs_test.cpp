// The limits dialogs, answered as an engineer would type: what they give back and what they
// refuse.
#include "trend/limits_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace qm4250;

namespace {

// Types into the open dialog's fields in order (choosing its second option first, if asked),
// presses OK (then Cancel, should OK be refused) and says whether OK closed it.
void Answer(const QStringList& texts, bool* closedByOk, bool secondOption = false) {
    QTimer::singleShot(0, [texts, closedByOk, secondOption] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        if (secondOption)
            dialog->findChildren<QRadioButton*>()[1]->setChecked(true);
        QList<QLineEdit*> edits =
            dialog->findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
        for (int i = 0; i < texts.size(); ++i)
            edits[i]->setText(texts[i]);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        buttons->button(QDialogButtonBox::Ok)->click();
        *closedByOk = !dialog->isVisible();
        if (dialog->isVisible())
            buttons->button(QDialogButtonBox::Cancel)->click();
    });
}

struct ToleranceCase {
    QStringList typed;  // USL, LSL, unit
    std::optional<double> lower, upper;
    bool accepted;
    QString unit;
};

TEST(LimitsDialogs, ToleranceTakesNumbersAndRefusesTheRest) {
    for (const ToleranceCase& c :
         {ToleranceCase{{"0.005", ""}, std::nullopt, 0.005, true},
          ToleranceCase{{"0.005", " 0.001 ", " sccm "}, 0.001, 0.005, true, "sccm"},
          ToleranceCase{{"", ""}, {}, {}, false}, ToleranceCase{{"nan", ""}, {}, {}, false},
          ToleranceCase{{"0.005", "inf"}, {}, {}, false},
          ToleranceCase{{"0,005", ""}, {}, {}, false},
          ToleranceCase{{"0.005", "0.006"}, {}, {}, false},
          ToleranceCase{{"0.005", "0.005"}, {}, {}, false},
          ToleranceCase{{"0.005", "", "sc\tcm"}, {}, {}, false}}) {
        bool closedByOk = false;
        Answer(c.typed, &closedByOk);
        std::optional<PartTolerance> asked = AskTolerance(nullptr, "PN", {});
        EXPECT_EQ(closedByOk, c.accepted) << c.typed.join('|').toStdString();
        EXPECT_EQ(asked.has_value(), c.accepted);
        if (asked) {
            EXPECT_EQ(asked->limits.lower, c.lower);
            EXPECT_EQ(asked->limits.upper, c.upper);
            EXPECT_EQ(asked->unit, c.unit);
        }
    }
}

// A date range with a date that is not one is refused: taken as no date it would open the range.
TEST(LimitsDialogs, FreezeTakesARangeOfDatesOnly) {
    bool closedByOk = false;
    Answer({"2026-11-01", "30/11/2026"}, &closedByOk, true);
    EXPECT_FALSE(AskFreeze(nullptr, "PN", false, {}, {}));
    EXPECT_FALSE(closedByOk);
    Answer({"2026-11-01", ""}, &closedByOk, true);
    auto asked = AskFreeze(nullptr, "PN", false, {}, {});
    ASSERT_TRUE(asked && std::holds_alternative<LimitsBaseline>(*asked));
    const auto& baseline = std::get<LimitsBaseline>(*asked);
    EXPECT_EQ(baseline.firstTests, 0u);
    EXPECT_EQ(baseline.from, QDate(2026, 11, 1));
    EXPECT_FALSE(baseline.to.isValid()) << "an empty end is open";
}

}  // namespace
