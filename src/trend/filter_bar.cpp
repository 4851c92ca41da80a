#include "trend/filter_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "archive/iso_date.h"

namespace qm4250 {

namespace {

// At least as wide as the widest of `texts` needs in the field's font and style: a placeholder or
// a date is never cut, whatever the desktop's font.
void HoldText(QLineEdit& edit, const QStringList& texts) {
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, edit.fontMetrics().horizontalAdvance(text));
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
    QMargins margins = edit.textMargins() + edit.contentsMargins();
    // QLineEdit keeps 2 pixels clear on either side of its text.
    QSize room(widest + 4 + margins.left() + margins.right(), edit.fontMetrics().height());
    edit.setMinimumWidth(
        edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option, room, &edit).width());
}

}  // namespace

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
    auto field = [this](const char* name, const QString& placeholder, const QString& typical) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(placeholder);
        HoldText(*edit, {placeholder, typical});
        return edit;
    };
    instrument_ = new QComboBox(this);
    instrument_->setObjectName("instrument");
    instrument_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    instrument_->addItem("All instruments", QString());
    // A PN or a Cust Code of 10 digits shows whole, a date as typed.
    pn_ = field("pn", "PN", "0000000000");
    custCode_ = field("custCode", "Cust Code", "0000000000");
    from_ = field("from", "from YYYY-MM-DD", "0000-00-00");
    to_ = field("to", "to YYYY-MM-DD", "0000-00-00");
    search_ = field("search", "Seq# or Cust Code contains", {});
    rejectsOnly_ = new QCheckBox("Re&jects only", this);
    rejectsOnly_->setObjectName("rejectsOnly");
    auto* apply = new QPushButton("&Apply", this);
    apply->setObjectName("apply");
    connect(apply, &QPushButton::clicked, this, &FilterBar::applyAsked);
    // Two rows, so that the filters and the exports beside them fit in 1280 pixels.
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    for (const auto& widgets :
         {std::initializer_list<QWidget*>{instrument_, pn_, custCode_, from_, to_},
          std::initializer_list<QWidget*>{search_, rejectsOnly_, apply}}) {
        auto* row = new QHBoxLayout;
        for (QWidget* widget : widgets)
            row->addWidget(widget);
        row->addStretch();
        rows->addLayout(row);
    }
}

// Return in any field, the instrument or the box applies the filter, as Apply does.
void FilterBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit applyAsked();
    else
        QWidget::keyPressEvent(event);
}

TestFilter FilterBar::filter() const {
    TestFilter filter;
    filter.instrument = instrument_->currentData().toString();
    if (!pn_->text().isEmpty())
        filter.pns = {pn_->text()};
    filter.custCode = custCode_->text();
    filter.from = IsoDate(from_->text().trimmed());
    filter.to = IsoDate(to_->text().trimmed());
    filter.rejectsOnly = rejectsOnly_->isChecked();
    filter.search = search_->text();
    return filter;
}

std::optional<QString> FilterBar::refusal() {
    std::optional<QString> refusal;
    for (auto [edit, word] : {std::pair{from_, "from"}, std::pair{to_, "to"}}) {
        QString text = edit->text().trimmed();
        bool readable = text.isEmpty() || IsoDate(text).isValid();
        edit->setStyleSheet(readable ? QString() : "QLineEdit { background: #ffc8c8; }");
        if (!readable && !refusal)
            refusal = QString("%1 takes a date as YYYY-MM-DD, not %2").arg(word, text);
    }
    return refusal;
}

void FilterBar::showInstruments(const std::vector<ArchivedInstrument>& instruments) {
    QVariant chosen = instrument_->currentData();
    instrument_->clear();
    instrument_->addItem("All instruments", QString());
    for (const ArchivedInstrument& instrument : instruments)
        instrument_->addItem(instrument.serial + " (" + instrument.model + ")", instrument.serial);
    instrument_->setCurrentIndex(std::max(0, instrument_->findData(chosen)));
}

std::optional<QString> FilterBar::chooseFirstInstrument() {
    if (instrument_->count() < 2)
        return std::nullopt;
    instrument_->setCurrentIndex(1);
    return instrument_->currentData().toString();
}

void FilterBar::setFrom(const QDate& day) {
    from_->setText(day.toString("yyyy-MM-dd"));
}

}  // namespace qm4250
