#include "trend/limits_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <cmath>

#include "archive/iso_date.h"
#include "archive/part_limits.h"
#include "trend/chart_layers.h"

namespace qm4250 {

namespace {

void MarkRefused(QLineEdit* edit, bool refused) {
    edit->setStyleSheet(refused ? "QLineEdit { background: #ffc8c8; }" : QString());
}

// "nan" and "inf" read as numbers, but are no limit.
std::optional<double> LimitOf(const QLineEdit* edit) {
    bool number = false;
    double value = edit->text().trimmed().toDouble(&number);
    return number && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

QDate DateOf(const QLineEdit* edit) {
    return IsoDate(edit->text().trimmed());
}

QDialogButtonBox* Buttons(QDialog& dialog, QFormLayout* form) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

std::optional<PartTolerance> AskTolerance(QWidget* parent, const QString& pn,
                                          const PartTolerance& now) {
    QDialog dialog(parent);
    dialog.setWindowTitle("Tolerance limits of PN " + pn);
    auto* form = new QFormLayout(&dialog);
    auto* upper = new QLineEdit(&dialog);
    auto* lower = new QLineEdit(&dialog);
    auto* unit = new QLineEdit(now.unit, &dialog);
    upper->setObjectName("upperLimit");
    lower->setObjectName("lowerLimit");
    unit->setObjectName("leakUnit");
    unit->setMaxLength(kLeakUnitMostCharacters);
    unit->setPlaceholderText("sccm, mbar l/s, Pa");
    upper->setText(now.limits.upper ? LimitText(*now.limits.upper) : QString());
    lower->setText(now.limits.lower ? LimitText(*now.limits.lower) : QString());
    form->addRow("&USL, the reject set point", upper);
    form->addRow("&LSL (may be empty)", lower);
    form->addRow("U&nit of the leak (may be empty)", unit);
    auto* refusal = new QLabel(&dialog);
    refusal->setObjectName("refusal");
    form->addRow(refusal);
    auto emptyLower = [lower] { return lower->text().trimmed().isEmpty(); };
    QObject::connect(Buttons(dialog, form), &QDialogButtonBox::accepted, &dialog, [&] {
        bool upperRead = LimitOf(upper).has_value();
        bool lowerRead = emptyLower() || LimitOf(lower);
        bool inOrder = !upperRead || !lowerRead || LimitsInOrder(LimitOf(lower), LimitOf(upper));
        bool unitRead = IsLeakUnit(unit->text().trimmed());
        MarkRefused(upper, !upperRead || !inOrder);
        MarkRefused(lower, !lowerRead || !inOrder);
        MarkRefused(unit, !unitRead);
        refusal->setText(!inOrder    ? "The LSL must be below the USL."
                         : !unitRead ? "A unit is a name of printable characters."
                                     : QString());
        if (upperRead && lowerRead && inOrder && unitRead)
            dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return PartTolerance{{emptyLower() ? std::nullopt : LimitOf(lower), LimitOf(upper)},
                         unit->text().trimmed()};
}

std::optional<std::variant<LimitsBaseline, Thaw>> AskFreeze(QWidget* parent, const QString& pn,
                                                            bool frozen, const QString& from,
                                                            const QString& to) {
    QDialog dialog(parent);
    dialog.setWindowTitle("Freeze the limits of PN " + pn);
    auto* form = new QFormLayout(&dialog);
    auto* first = new QRadioButton("The PN's first tests", &dialog);
    auto* range = new QRadioButton("The PN's tests from … to (YYYY-MM-DD)", &dialog);
    first->setChecked(true);
    auto* count = new QSpinBox(&dialog);
    count->setRange(2, 1'000'000);
    count->setValue(100);
    auto* fromEdit = new QLineEdit(from, &dialog);
    auto* toEdit = new QLineEdit(to, &dialog);
    form->addRow(first, count);
    form->addRow(range);
    form->addRow("from", fromEdit);
    form->addRow("to", toEdit);
    QDialogButtonBox* buttons = Buttons(dialog, form);
    QPushButton* thaw = buttons->addButton("Thaw", QDialogButtonBox::DestructiveRole);
    thaw->setEnabled(frozen);
    constexpr int kThawed = 2;
    QObject::connect(thaw, &QPushButton::clicked, &dialog, [&] { dialog.done(kThawed); });
    // A date that is not one would silently open the range: it is refused, as in the filters.
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        bool readable = true;
        for (QLineEdit* edit : {fromEdit, toEdit}) {
            bool fine =
                first->isChecked() || edit->text().trimmed().isEmpty() || DateOf(edit).isValid();
            MarkRefused(edit, !fine);
            readable = readable && fine;
        }
        if (readable)
            dialog.accept();
    });
    int chosen = dialog.exec();
    if (chosen == kThawed)
        return Thaw{};
    if (chosen != QDialog::Accepted)
        return std::nullopt;
    LimitsBaseline baseline;
    if (first->isChecked())
        baseline.firstTests = static_cast<size_t>(count->value());
    baseline.from = DateOf(fromEdit);
    baseline.to = DateOf(toEdit);
    return baseline;
}

}  // namespace qm4250
