#include "trend/export_buttons.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QPushButton>

namespace qm4250 {

ExportButtons::ExportButtons(const SelectionExports& exports, const FilterBar& filters,
                             ChartPanel& chart, QWidget* parent)
    : QWidget(parent), exports_(exports), filters_(filters), chart_(chart) {
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto button = [&](const char* name, const QString& text, const QString& title,
                      const QString& types, bool (ExportButtons::*save)(const QString&)) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(name);
        connect(pushButton, &QPushButton::clicked, this, [this, title, types, save] {
            QString path = QFileDialog::getSaveFileName(this, title, {}, types);
            if (!path.isEmpty())
                (this->*save)(path);
        });
        // Two rows, as the filters beside them.
        int placed = layout->count();
        layout->addWidget(pushButton, placed % 2, placed / 2);
    };
    button("exportSelection", "E&xport selection…", "Export selection",
           "Excel (*.xls);;Excel Workbook (*.xlsx);;CSV (*.csv)", &ExportButtons::exportSelection);
    button("saveChart", "Save c&hart…", "Save chart", "PNG (*.png);;SVG (*.svg)",
           &ExportButtons::saveChart);
    button("saveReport", "PDF &report…", "PDF report", "PDF (*.pdf)", &ExportButtons::saveReport);
    button("exportStatistics", "&Statistics to .xlsx…", "Statistics and chart data",
           "Excel Workbook (*.xlsx)", &ExportButtons::exportStatistics);
}

bool ExportButtons::exportSelection(const QString& path) {
    ExportOutcome outcome = exports_.tests(filters_.filter(), path);
    if (outcome.notRead)
        emit told("The selection was not exported: " + ArchiveErrorText(*outcome.notRead));
    else
        emit told(outcome.written ? QString("%1 tests exported to %2").arg(outcome.tests).arg(path)
                                  : "The selection was not exported: " + path);
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
