#include "trend/export_buttons.h"

#include <QGridLayout>
#include <QPushButton>

#include "trend/export_file_names.h"
#include "trend/failure_texts.h"
#include "trend/off_the_event_thread.h"
#include "trend/save_dialog.h"

namespace qm4250 {

namespace {

// What an export is named after: the chart its PN; the others, the PN the filter names, if any.
enum class NamedAfter { FilterPn, ChartedPn };

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
    // The export reads the archive through a connection of its own, which may be on any thread;
    // the buttons wait meanwhile, so that no second export starts on top of it.
    emit told("Exporting the selection to " + path + "\u2026");
    setEnabled(false);
    const TestFilter filter = filters_.filter();
    ExportResult exported = OffTheEventThread([&] { return exports_.tests(filter, path); });
    setEnabled(true);
    if (exported)
        emit told(QString("%1 tests exported to %2").arg(exported.value().tests).arg(path));
    else
        emit told("The selection was not exported: " + ExportFailureText(exported.error(), path));
    return exported.ok();
}

bool ExportButtons::saveChart(const QString& path) {
    Result<void> saved = SelectionExports::chart(chart_.controlChart(), path);
    if (!saved)
        emit told("The chart was not saved: " + ExportFailureText(saved.error(), path));
    return saved.ok();
}

bool ExportButtons::saveReport(const QString& path) {
    ExportResult reported = exports_.report(path, filters_.filter(), chart_.axis());
    if (!reported)
        emit told("The report was not written: " + ExportFailureText(reported.error(), path));
    return reported.ok();
}

bool ExportButtons::exportStatistics(const QString& path) {
    ExportResult exported = exports_.statistics(path);
    if (exported)
        emit told(QString("Statistics of %1 part numbers and %2 charted tests exported to %3")
                      .arg(exported.value().parts)
                      .arg(exported.value().tests)
                      .arg(path));
    else
        emit told("The statistics were not exported: " + ExportFailureText(exported.error(), path));
    return exported.ok();
}

}  // namespace qm4250
