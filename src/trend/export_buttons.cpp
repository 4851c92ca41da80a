#include "trend/export_buttons.h"

#include <QGridLayout>
#include <QPushButton>
#include <algorithm>

#include "trend/export_file_names.h"
#include "trend/save_dialog.h"

namespace qm4250 {

namespace {

// What an export is named after: the chart its PN; the others, the PN the filter names, if any.
enum class NamedAfter { FilterPn, ChartedPn };

// A received field as a message quotes it: its first 40 characters, "…" when there is more.
QString Quoted(const std::string& latin1) {
    constexpr size_t kShown = 40;
    return QString::fromLatin1(latin1.data(),
                               static_cast<qsizetype>(std::min(latin1.size(), kShown))) +
           (latin1.size() > kShown ? "\u2026" : "");
}

// "test Seq# 123 of SN 4711: its PN is longer than a cell holds (32,767 characters)", the PN
// named too when another field is at fault.
QString UnwritableTestText(const UnwritableTest& test) {
    QString which = "test Seq# " + Quoted(test.seq);
    if (test.field != "PN")
        which += ", PN " + Quoted(test.pn);
    if (test.serial)
        which += " of SN " + Quoted(*test.serial);
    switch (test.reason) {
        case UnwritableTest::Reason::CellTooLong:
            break;
    }
    return which + ": its " + QString::fromStdString(test.field) +
           " is longer than a cell holds (32,767 characters)";
}

}  // namespace

ExportButtons::ExportButtons(const SelectionExports& exports, const FilterBar& filters,
                             ChartPanel& chart, QWidget* parent)
    : QWidget(parent), exports_(exports), filters_(filters), chart_(chart) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto button = [&](const char* name, const QString& text, const QString& title,
                      const QStringList& types, const QString& what, NamedAfter namedAfter,
                      bool (ExportButtons::*save)(const QString&)) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(name);
        connect(
            pushButton, &QPushButton::clicked, this, [this, title, types, what, namedAfter, save] {
                QString pn = namedAfter == NamedAfter::ChartedPn ? chart_.chartedPn()
                                                                 : filters_.filter().pns.value(0);
                QString suggested = SuggestedFileName(what, pn, QDate::currentDate(),
                                                      FilterExtensions(types.front()).value(0));
                QString path = AskSavePath(this, title, types, suggested);
                if (!path.isEmpty())
                    (this->*save)(path);
            });
        // Two rows, as the filters beside them.
        int placed = layout->count();
        layout->addWidget(pushButton, placed % 2, placed / 2);
    };
    button("exportSelection", "E&xport selection…", "Export selection",
           {"Excel (*.xls)", "Excel Workbook (*.xlsx)", "CSV (*.csv)"}, "selection",
           NamedAfter::FilterPn, &ExportButtons::exportSelection);
    button("saveChart", "Save c&hart…", "Save chart", {"PNG (*.png)", "SVG (*.svg)"}, "chart",
           NamedAfter::ChartedPn, &ExportButtons::saveChart);
    button("saveReport", "PDF &report…", "PDF report", {"PDF (*.pdf)"}, "report",
           NamedAfter::FilterPn, &ExportButtons::saveReport);
    button("exportStatistics", "&Statistics to .xlsx…", "Statistics and chart data",
           {"Excel Workbook (*.xlsx)"}, "statistics", NamedAfter::FilterPn,
           &ExportButtons::exportStatistics);
}

bool ExportButtons::exportSelection(const QString& path) {
    ExportOutcome outcome = exports_.tests(filters_.filter(), path);
    if (outcome.notRead)
        emit told("The selection was not exported: " + ArchiveErrorText(*outcome.notRead));
    else if (outcome.written)
        emit told(QString("%1 tests exported to %2").arg(outcome.tests).arg(path));
    else
        emit told("The selection was not exported: " + path +
                  (outcome.unwritable ? ": " + UnwritableTestText(*outcome.unwritable) : ""));
    return outcome.written;
}

bool ExportButtons::saveChart(const QString& path) {
    return SelectionExports::chart(chart_.controlChart(), path).written;
}

bool ExportButtons::saveReport(const QString& path) {
    ExportOutcome outcome = exports_.report(path, filters_.filter(), chart_.axis());
    if (outcome.notRead)
        emit told("The report was not written: " + ArchiveErrorText(*outcome.notRead));
    else if (!outcome.written)
        emit told("The report was not written: " +
                  (outcome.tests == 0 ? QString("no tests selected") : path));
    return outcome.written;
}

bool ExportButtons::exportStatistics(const QString& path) {
    ExportOutcome outcome = exports_.statistics(path);
    if (outcome.notRead)
        emit told("The statistics were not exported: " + ArchiveErrorText(*outcome.notRead));
    else
        emit told(outcome.written ? QString("Statistics of %1 part numbers and %2 charted tests "
                                            "exported to %3")
                                        .arg(outcome.parts)
                                        .arg(outcome.tests)
                                        .arg(path)
                                  : "The statistics were not exported: " + path);
    return outcome.written;
}

}  // namespace qm4250
