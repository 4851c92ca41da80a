#include "trend/filter_bar.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <algorithm>
#include <utility>

namespace qm4250 {

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto field = [this](const char* name, const QString& placeholder) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(placeholder);
        connect(edit, &QLineEdit::returnPressed, this, &FilterBar::applyAsked);
        return edit;
    };
    instrument_ = new QComboBox(this);
    instrument_->setObjectName("instrument");
    instrument_->addItem("All instruments", QString());
    pn_ = field("pn", "PN");
    custCode_ = field("custCode", "Cust Code");
    from_ = field("from", "from YYYY-MM-DD");
    to_ = field("to", "to YYYY-MM-DD");
    search_ = field("search", "Seq# or Cust Code contains");
    rejectsOnly_ = new QCheckBox("Rejects only", this);
    rejectsOnly_->setObjectName("rejectsOnly");
    auto* apply = new QPushButton("Apply", this);
    apply->setObjectName("apply");
    connect(apply, &QPushButton::clicked, this, &FilterBar::applyAsked);
    for (QWidget* widget : std::initializer_list<QWidget*>{instrument_, pn_, custCode_, from_, to_,
                                                           search_, rejectsOnly_, apply})
        layout->addWidget(widget);
}

TestFilter FilterBar::filter() const {
    TestFilter filter;
    filter.instrument = instrument_->currentData().toString();
    if (!pn_->text().isEmpty())
        filter.pns = {pn_->text()};
    filter.custCode = custCode_->text();
    filter.from = QDate::fromString(from_->text().trimmed(), "yyyy-MM-dd");
    filter.to = QDate::fromString(to_->text().trimmed(), "yyyy-MM-dd");
    filter.rejectsOnly = rejectsOnly_->isChecked();
    filter.search = search_->text();
    return filter;
}

std::optional<QString> FilterBar::refusal() {
    std::optional<QString> refusal;
    for (auto [edit, word] : {std::pair{from_, "from"}, std::pair{to_, "to"}}) {
        QString text = edit->text().trimmed();
        bool readable = text.isEmpty() || QDate::fromString(text, "yyyy-MM-dd").isValid();
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
