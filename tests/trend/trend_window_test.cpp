// The archive window, offscreen, on a small SQLite archive made here.
#include "trend/trend_window.h"

#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QClipboard>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <regex>

#include "archive/part_limits.h"
#include "archive/upload_archive.h"
#include "export/typed_read_back.h"
#include "history_rows.h"
#include "save_dialog_answerer.h"
#include "sheet_read_back.h"
#include "test_archives.h"
#include "trend/control_chart_plot.h"
#include "trend/report_pages.h"

using namespace qm4250;

namespace {

std::string CommandOutput(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    char line[256];
    while (pipe && std::fgets(line, sizeof line, pipe))
        text += line;
    if (pipe)
        pclose(pipe);
    return text;
}

// The width a line edit draws its text in, as QLineEdit::paintEvent takes it.
int TextRoom(const QLineEdit* edit) {
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    return edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() - 4;
}

// Instruments 4711 (300 tests) and 4712 (100 tests), PN alternating "P;1" and "P%2"; test 150 of
// each a reject (error 7) with a leak far out, on 4711 only as 4712 has no test 150.
class TrendWindowTest : public testing::TestWithParam<Engine> {
  protected:
    void SetUp() override {
        MakeEmptyArchive(GetParam(), folder_, location_);
        if (HasFatalFailure())
            return;
        Store("4711", 300);
        Store("4712", 100);
        window_ = std::make_unique<TrendWindow>(location_);
        window_->resize(1200, 900);
    }

    // Every 5 ms: an open menu's first entry chosen, and an open dialog handed to `answer`.
    static void chooseFirstEntries(QTimer& timer, const std::function<void(QDialog*)>& answer) {
        QObject::connect(&timer, &QTimer::timeout, [answer] {
            if (QWidget* menu = QApplication::activePopupWidget()) {
                QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, Qt::Key_Return);
            } else if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                answer(dialog);
            }
        });
        timer.start(5);
    }

    // What `act` gives, behind a lock another session holds on the table (on PostgreSQL), let go
    // of by the event loop 300 ms later: false too when the loop stood still meanwhile.
    bool behindALock(const QString& table, const std::function<bool()>& act) {
        if (GetParam() != Engine::Postgres)
            return act();
        ArchiveConnection other(location_, ArchiveConnection::Access::Write);
        QSqlQuery hold(other.db());
        if (!hold.exec("BEGIN") || !hold.exec("LOCK TABLE " + table + " IN ACCESS EXCLUSIVE MODE"))
            return false;
        bool ranMeanwhile = false;
        QTimer::singleShot(300, [&] { ranMeanwhile = hold.exec("ROLLBACK"); });
        bool done = act();
        EXPECT_TRUE(ranMeanwhile) << "the event loop stood still behind the lock";
        return done && ranMeanwhile;
    }

    void Store(const std::string& serial, int count) {
        std::vector<std::string> frames{"1S" + serial};
        for (int k = 1; k <= count; ++k)
            frames.push_back("1" + std::to_string(k) + "," + (k % 2 ? "P;1" : "P%2") + ",C" +
                             std::to_string(k % 5) + "," +
                             (k == 150 ? "0.9" : "0.00" + std::to_string(k % 7)) + "," +
                             (k == 150 ? "7" : "N") + "," + std::to_string(3600 * k) + "," +
                             (k % 50 == 0 ? "5" : "4"));
        History history = HistoryOf(frames);
        ASSERT_TRUE(StoreUpload(location_, {history, "/dev/ttyUSB0", count + 1,
                                            QDateTime::currentDateTimeUtc()})
                        .written());
    }

    template <typename T>
    T* find(const char* name) const {
        return window_->findChild<T*>(name);
    }
    int graphPoints(const char* graph) const {
        QCustomPlot* chart = find<QCustomPlot>("controlChart");
        for (int i = 0; i < chart->graphCount(); ++i)
            if (chart->graph(i)->name() == graph)
                return chart->graph(i)->dataCount();
        return -1;
    }
    // The selection's tests, as the table holds them all.
    int tableRows() const {
        auto* model = static_cast<QSqlQueryModel*>(find<QTableView>("tests")->model());
        while (model->canFetchMore())
            model->fetchMore();
        return model->rowCount();
    }
    void filterBy(const char* field, const QString& text) {
        find<QLineEdit>(field)->setText(text);
        QTest::keyClick(find<QLineEdit>(field), Qt::Key_Return);
    }
    // The control chart's tooltip at a point, as plain text.
    QString tooltipAt(QPoint at) const {
        QCustomPlot* chart = find<QCustomPlot>("controlChart");
        QMouseEvent move(QEvent::MouseMove, at, chart->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(chart, &move);
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        return shown.toPlainText();
    }
    // The mark of P%2's reject, test 150 of 4711, at the top edge: sample 125 (k = 2 to 100 on
    // both instruments, then 102 to 148 on 4711 alone).
    QPoint rejectMark() const {
        QCustomPlot* chart = find<QCustomPlot>("controlChart");
        return QPoint(
            static_cast<int>(chart->xAxis->coordToPixel(125)),
            static_cast<int>(chart->yAxis->coordToPixel(chart->yAxis->range().upper)) + 3);
    }

    QTemporaryDir folder_;
    ArchiveLocation location_;
    std::unique_ptr<TrendWindow> window_;
};

// The chart shows one part number, the most tested; pooling them is a choice of its own.
TEST_P(TrendWindowTest, AFilterSelectsExactlyItsTestsForTheChartTableAndStatistics) {
    ASSERT_TRUE(window_->applyFilter());
    EXPECT_EQ(tableRows(), 400);
    EXPECT_EQ(find<QTableWidget>("statistics")->rowCount(), 2);
    QComboBox* chartPn = find<QComboBox>("chartPn");
    ASSERT_EQ(chartPn->count(), 3);
    EXPECT_EQ(chartPn->currentData().toString(), "P%2");
    EXPECT_EQ(graphPoints("tests"), 200);
    EXPECT_EQ(graphPoints("rejects"), 1);
    EXPECT_GE(graphPoints("rule breaks"), 1) << "the reject's leak is far beyond 3 sigma";
    chartPn->setCurrentIndex(2);
    emit chartPn->activated(2);
    EXPECT_EQ(graphPoints("tests"), 400);
    auto* title = find<QCustomPlot>("controlChart")->findChild<QCPTextElement*>("title");
    EXPECT_EQ(title->text(), "Individuals, limits pooled over 2 part numbers");

    filterBy("pn", "P;1");
    EXPECT_EQ(graphPoints("tests"), 200);
    EXPECT_EQ(graphPoints("rejects"), 0);
    EXPECT_EQ(tableRows(), 200);

    // The database sorts: by leak, highest first, the reject's 0.9 leads; by Seq#, "1" does.
    QAbstractItemModel* model = find<QTableView>("tests")->model();
    QHeaderView* header = find<QTableView>("tests")->horizontalHeader();
    filterBy("pn", "");
    EXPECT_EQ(graphPoints("tests"), 400) << "the choice to pool stays while it can";
    header->setSortIndicator(4, Qt::DescendingOrder);
    EXPECT_EQ(model->index(0, 4).data().toString(), "0.9");
    header->setSortIndicator(1, Qt::AscendingOrder);
    EXPECT_EQ(model->index(0, 1).data().toString(), "1");

    filterBy("pn", "P;1");
    find<QComboBox>("instrument")->setCurrentIndex(2);  // 4712
    ASSERT_TRUE(window_->applyFilter());
    EXPECT_EQ(graphPoints("tests"), 50);
}

TEST_P(TrendWindowTest, HostileTextSelectsExactlyItself) {
    struct Case {
        const char* field;
        const char* text;
        int tests;
    };
    for (const Case& c :
         {Case{"pn", "P%2", 200}, Case{"pn", "P%", 0}, Case{"pn", "x' OR '1'='1", 0},
          Case{"pn", "", 400}, Case{"search", "%", 0}, Case{"search", "C_", 0},
          Case{"search", "C4", 80}}) {
        filterBy(c.field, c.text);
        EXPECT_EQ(tableRows(), c.tests) << c.field << " " << c.text;
        find<QLineEdit>(c.field)->clear();
    }
}

// Archived text shows as the characters it is: never as markup, never fetching what it names.
TEST_P(TrendWindowTest, ArchivedTextIsShownAsPlainText) {
    History history = HistoryOf({"1S<i>9</i>", "11,<b>x</b>,<img src=\"/dev/zero\">,0.5,N,3600,4"});
    ASSERT_TRUE(
        StoreUpload(location_, {history, "/dev/ttyUSB0", 2, QDateTime::currentDateTimeUtc()})
            .written());
    window_->show();
    filterBy("pn", "<b>x</b>");
    QCustomPlot* chart = find<QCustomPlot>("controlChart");
    QPoint at(static_cast<int>(chart->xAxis->coordToPixel(1)),  // sample number 1
              static_cast<int>(chart->yAxis->coordToPixel(0.5)));
    EXPECT_EQ(tooltipAt(at).toStdString(),
              "<i>9</i>  Seq# 1\nPN <b>x</b>  Cust Code <img src=\"/dev/zero\">\nLeak 0.5  Err N\n"
              "2004-01-01 01:00:00");
    auto* table = find<QTableView>("tests");
    EXPECT_EQ(table->model()->index(0, 2).data().toString(), "<b>x</b>");
    // Through the point's menu, the dialog asking why names the test, to leave out or take back.
    QString title, label;
    QTimer answer;
    chooseFirstEntries(answer, [&](QDialog* dialog) {
        auto* name = dialog->findChild<QLabel*>();
        title = dialog->windowTitle();
        label = name->textFormat() == Qt::PlainText ? name->text() : "markup";
        dialog->findChild<QLineEdit*>()->setText("probe dropped");
        dialog->accept();
    });
    for (QString asked : {"Leave out of the limits", "Take back into the limits"}) {
        at = QPoint(chart->xAxis->coordToPixel(1), chart->yAxis->coordToPixel(0.5));  // redrawn
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, chart->mapToGlobal(at));
        QApplication::sendEvent(chart, &click);
        EXPECT_EQ(title, asked);
        EXPECT_EQ(label, "Seq# 1 of <i>9</i>, PN <b>x</b>, 2004-01-01 01:00:00\nReason:");
    }
}

TEST_P(TrendWindowTest, TheSelectionAndTheChartAreSaved) {
    filterBy("pn", "P%2");
    QString csv = folder_.path() + "/selection.csv";
    ASSERT_TRUE(behindALock("tests", [&] { return window_->exportSelection(csv); }));
    ReadBack exported = ReadHistoryFile(csv.toStdString());
    EXPECT_EQ(exported.testsRead, 200u);
    EXPECT_EQ(exported.rowsSkipped, 0u);
    for (const char* name : {"chart.png", "chart.svg"}) {
        QString chart = folder_.path() + "/" + name;
        ASSERT_TRUE(window_->saveChart(chart)) << name;
        EXPECT_GT(QFileInfo(chart).size(), 1000) << name;
    }
    QFile svg(folder_.path() + "/chart.svg");
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));
}

// A page per part number, from the window and from the command line: each with its limits in its
// text and its charts drawn.
TEST_P(TrendWindowTest, TheReportHasAPagePerPartNumberWithItsLimitsAndCharts) {
    ASSERT_TRUE(window_->applyFilter());
    QString pdf = folder_.path() + "/report.pdf";
    ASSERT_TRUE(window_->saveReport(pdf));
    std::vector<QString> reports{pdf};
    if (GetParam() == Engine::Sqlite) {
        QString cli = folder_.path() + "/nightly.pdf";
        EXPECT_EQ(
            CommandOutput(QM4250_ARCHIVE_EXECUTABLE " report " + cli.toStdString() + " --archive " +
                          location_.path.toStdString() + " >/dev/null && echo written"),
            "written\n");
        reports.push_back(cli);
    }
    QTableWidget* statistics = find<QTableWidget>("statistics");
    for (const QString& report : reports) {
        std::string file = report.toStdString();
        EXPECT_NE(CommandOutput("pdfinfo " + file).find("Pages:           2\n"), std::string::npos)
            << file;
        std::string text = CommandOutput("pdftotext -raw " + file + " -");
        for (int row = 0; row < statistics->rowCount(); ++row) {
            std::string ucl = statistics->item(row, 18)->text().toStdString();
            EXPECT_NE(text.find("UCL " + ucl), std::string::npos) << file << ": " << ucl;
        }
    }
    CommandOutput("pdftoppm -r 60 -png " + pdf.toStdString() + " " +
                  (folder_.path() + "/page").toStdString());
    for (const char* page : {"/page-1.png", "/page-2.png"}) {
        QImage image(folder_.path() + page);
        ASSERT_FALSE(image.isNull()) << page;
        // Points (blue) and rings (orange) in the control chart's area: the left two thirds,
        // under the heading, above the moving-range chart.
        int marks = 0;
        for (int y = image.height() * 15 / 100; y < image.height() * 58 / 100; ++y) {
            for (int x = image.width() / 10; x < image.width() * 2 / 3; ++x) {
                QRgb pixel = image.pixel(x, y);
                marks += qBlue(pixel) - qRed(pixel) > 60 || qRed(pixel) - qBlue(pixel) > 150;
            }
        }
        EXPECT_GT(marks, 200) << page;
    }
}

// The fitted view holds every point and both limits, each limit labelled with its value; a
// zoom is undone by Ctrl+0.
TEST_P(TrendWindowTest, TheFittedViewHoldsEveryPointAndTheLabelledLimits) {
    window_->show();
    ASSERT_TRUE(window_->applyFilter());
    QCustomPlot* chart = find<QCustomPlot>("controlChart");
    QCPRange fitted = chart->yAxis->range();
    auto* ucl = chart->findChild<QCPItemText*>("UCL");
    auto* lcl = chart->findChild<QCPItemText*>("LCL");
    ASSERT_TRUE(ucl && lcl);
    for (QCPItemText* label : {ucl, lcl}) {
        double value = label->position->coords().y();
        EXPECT_TRUE(fitted.lower < value && value < fitted.upper) << value;
        EXPECT_EQ(label->text(), label->objectName() + " " + QString::number(value, 'g', 5));
    }
    EXPECT_LT(fitted.lower, 0) << "the lowest leak, 0, is off the edge";
    EXPECT_LT(fitted.upper, 0.1) << "the reject's leak of 0.9 does not scale the process";
    EXPECT_EQ(graphPoints("1 off scale"), 1) << "but is marked on the edge";
    QTableWidget* statistics = find<QTableWidget>("statistics");
    EXPECT_EQ(statistics->horizontalHeaderItem(16)->text(), "LCL");
    EXPECT_EQ(statistics->horizontalHeaderItem(18)->text(), "UCL");

    chart->yAxis->setRange(0.2, 0.3);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QTest::keyClick(window_.get(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(chart->yAxis->range(), fitted);
}

TEST_P(TrendWindowTest, FiltersRefuseBadDatesSortSeqAsANumberAndListNewInstruments) {
    for (const char* bad : {"12/01/2020", "2045-13-45"}) {
        find<QLineEdit>("to")->setText(bad);
        EXPECT_FALSE(window_->applyFilter()) << bad;
        EXPECT_EQ(find<QLabel>("summary")->text(),
                  QString("to takes a date as YYYY-MM-DD, not ") + bad);
        EXPECT_FALSE(find<QLineEdit>("to")->styleSheet().isEmpty()) << "marked";
    }
    filterBy("to", "");
    EXPECT_TRUE(find<QLineEdit>("to")->styleSheet().isEmpty());

    find<QComboBox>("instrument")->setCurrentIndex(2);  // 4712
    find<QTableView>("tests")->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
    QAbstractItemModel* model = find<QTableView>("tests")->model();
    EXPECT_EQ(model->index(1, 1).data().toString(), "2") << "not 10";
    EXPECT_EQ(model->index(9, 1).data().toString(), "10");

    Store("4713", 3);
    QTest::keyClick(find<QComboBox>("instrument"), Qt::Key_Return);  // applies, as Apply does
    EXPECT_EQ(find<QComboBox>("instrument")->count(), 4);
    EXPECT_EQ(find<QComboBox>("instrument")->currentData().toString(), "4712") << "kept";
}

// The window opens on the first instrument's last tested PN, under a title naming the archive
// without its password; the time axis is a choice.
TEST_P(TrendWindowTest, OpensOnTheLastTestedPartNumberOfTheArchiveItNames) {
    History late = HistoryOf({"1S4711", "11,LATE,C,0.5,N,2000000,4"});
    ASSERT_TRUE(StoreUpload(location_, {late, "/dev/ttyUSB0", 2, QDateTime::currentDateTimeUtc()})
                    .written());
    TrendWindow window(location_);
    ASSERT_TRUE(window.showRecent());
    EXPECT_EQ(window.findChild<QComboBox*>("chartPn")->currentData().toString(), "LATE");
    EXPECT_EQ(window.windowTitle(), "QM4250 Test Archive: " + location_.display());

    auto* axis = window.findChild<QComboBox*>("chartAxis");
    axis->setCurrentIndex(1);
    emit axis->activated(1);
    auto* chart = window.findChild<QCustomPlot*>("controlChart");
    EXPECT_GT(chart->xAxis->range().upper, ChartTime(0)) << "the instrument's clock";
}

// A leak that is not a number shows as received and counts in the statistics; a block of cells
// copies as tab-separated text.
TEST_P(TrendWindowTest, TheTableShowsLeaksAsReceivedAndCopiesABlock) {
    History odd = HistoryOf({"1S4713", "11,ODD,C,OVER,N,3600,4", "12,ODD,C,,N,7200,4"});
    ASSERT_TRUE(StoreUpload(location_, {odd, "/dev/ttyUSB0", 3, QDateTime::currentDateTimeUtc()})
                    .written());
    ASSERT_TRUE(StorePartLimits(location_,
                                {"ODD", std::nullopt, 0.5, "qa", QDateTime::currentDateTimeUtc()}));
    filterBy("pn", "ODD");
    QTableView* table = find<QTableView>("tests");
    EXPECT_EQ(table->model()->index(0, 4).data().toString(), "OVER");
    // Both tests count, neither is a number to chart; "OVER" is beyond the USL, a blank is not.
    QStringList cells;
    for (int column : {2, 4, 12})
        cells << find<QTableWidget>("statistics")->item(0, column)->text();
    EXPECT_EQ(cells.join("|").toStdString(), "2|0|500000 / -");
    table->selectionModel()->select(
        QItemSelection(table->model()->index(0, 1), table->model()->index(1, 2)),
        QItemSelectionModel::Select);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "1\tODD\n2\tODD\n");
}

// Err and the relays as the upload window shows them, sorted by what the archive holds.
TEST_P(TrendWindowTest, TheTableShowsErrorsAndRelaysAsTheUploadWindow) {
    ASSERT_TRUE(window_->applyFilter());
    QTableView* table = find<QTableView>("tests");
    table->horizontalHeader()->setSortIndicator(5, Qt::DescendingOrder);
    QStringList shown;
    for (int column : {5, 7, 8, 9})
        shown << table->model()->index(0, column).data().toString();
    EXPECT_EQ(shown.join("|").toStdString(), "*7|On|Off|Off");
    table->horizontalHeader()->setSortIndicator(5, Qt::AscendingOrder);
    EXPECT_EQ(table->model()->index(0, 5).data().toString(), "") << "no error first";
}

// A PN's tolerance: its lines on the chart, its capability in the statistics and on the
// report page; a PN with too few tests says how many it would need.
TEST_P(TrendWindowTest, ToleranceLimitsBringCapability) {
    QDateTime now = QDateTime::currentDateTimeUtc();
    ASSERT_TRUE(StorePartLimits(location_, {"P%2", std::nullopt, 0.5, "qa", now}));
    History few = HistoryOf({"1S4714", "11,FEW,C,0.5,N,3600,4", "12,FEW,C,0.4,N,7200,4"});
    ASSERT_TRUE(StoreUpload(location_, {few, "/dev/ttyUSB0", 3, now}).written());
    ASSERT_TRUE(StorePartLimits(location_, {"FEW", 0.1, 0.9, "qa", now}));
    ASSERT_TRUE(window_->applyFilter());
    auto* usl = find<QCustomPlot>("controlChart")->findChild<QCPItemText*>("USL");
    ASSERT_TRUE(usl) << "the charted PN, P%2, has an upper limit";
    EXPECT_EQ(usl->text(), "USL 0.5");
    QTableWidget* statistics = find<QTableWidget>("statistics");
    std::map<QString, QStringList> rows;
    for (int row = 0; row < statistics->rowCount(); ++row)
        for (int column = 0; column < statistics->columnCount(); ++column)
            rows[statistics->item(row, 0)->text()] << statistics->item(row, column)->text();
    const int usl_ = 6, cp = 7, cpk = 8, interval = 11;
    EXPECT_EQ(rows["P%2"][usl_], "0.5");
    bool number = false;
    rows["P%2"][cpk].toDouble(&number);
    EXPECT_TRUE(number) << rows["P%2"][cpk].toStdString();
    EXPECT_EQ(rows["P%2"][cp], "-") << "one limit: no Cp";
    EXPECT_TRUE(QRegularExpression("^-?[0-9]+\\.[0-9]{2} to -?[0-9]+\\.[0-9]{2}$")
                    .match(rows["P%2"][interval])
                    .hasMatch())
        << rows["P%2"][interval].toStdString();
    EXPECT_EQ(rows["FEW"][cpk], "not enough tests (n < 30)");
    EXPECT_EQ(rows["P;1"][usl_], "-") << "no tolerance";

    QString pdf = folder_.path() + "/capability.pdf";
    ASSERT_TRUE(window_->saveReport(pdf));
    std::string text = CommandOutput("pdftotext " + pdf.toStdString() + " -");
    EXPECT_NE(text.find("USL 0.5"), std::string::npos);
    EXPECT_NE(text.find(rows["P%2"][cpk].toStdString()), std::string::npos) << "Cpk on the page";
    EXPECT_NE(text.find("not enough tests (n < 30)"), std::string::npos) << "not cut";
}

// The charted PN's tests judged as the engineer chooses: rejects out of the limits or in, the
// rules switched on; every break listed with its rule and Seq#.
TEST_P(TrendWindowTest, RejectsAndRulesDecideWhatBreaksAndEveryBreakIsListed) {
    ASSERT_TRUE(window_->applyFilter());
    ASSERT_EQ(window_->chartedPn(), "P%2");
    auto ucl = [this] {
        return find<QCustomPlot>("controlChart")->findChild<QCPItemText*>("UCL")->text();
    };
    QString rejectsOut = ucl();
    find<QCheckBox>("rejectsOutOfLimits")->setChecked(false);
    EXPECT_NE(ucl(), rejectsOut) << "the reject's leak of 0.9 widens the limits it is in";
    find<QCheckBox>("rejectsOutOfLimits")->setChecked(true);
    EXPECT_EQ(ucl(), rejectsOut);

    QTableWidget* breaks = find<QTableWidget>("ruleBreaks");
    find<QTabWidget>("panels")->setCurrentWidget(breaks);
    bool rejectListed = false;
    for (int row = 0; row < breaks->rowCount(); ++row)
        rejectListed = rejectListed || (breaks->item(row, 0)->text().startsWith("WE 1:") &&
                                        breaks->item(row, 1)->text() == "150" &&
                                        breaks->item(row, 2)->text() == "2004-01-07 06:00:00" &&
                                        breaks->item(row, 3)->text() == "0.9");
    EXPECT_TRUE(rejectListed);
    // Its tooltip, on its mark at the top edge, names the rule and its leak.
    window_->show();
    QString shown = tooltipAt(rejectMark());
    EXPECT_TRUE(shown.contains("Leak 0.9") && shown.endsWith("\nBreaks WE 1: one point beyond 3σ"))
        << shown.toStdString();
    for (const char* rule : {"rule WE 1", "rule WE 4"})
        find<QAction>(rule)->setChecked(false);
    EXPECT_EQ(breaks->rowCount(), 0);
    EXPECT_EQ(find<QPushButton>("runRules")->text(), "R&ules: none");
    find<QAction>("rule Nelson 1")->setChecked(true);
    ASSERT_GT(breaks->rowCount(), 0);
    for (int row = 0; row < breaks->rowCount(); ++row)
        EXPECT_TRUE(breaks->item(row, 0)->text().startsWith("Nelson 1:"));
}

// A test left out with a reason and limits frozen from a baseline are kept in the archive with
// who and when: a window opened later draws the test hollow, lists it, and judges by the frozen
// limits, shown beside the selection's own; the report lists the breaks and the test left out.
TEST_P(TrendWindowTest, ExclusionsAndFrozenLimitsAreKeptAndJudgeLaterTests) {
    ASSERT_TRUE(window_->applyFilter());
    qint64 id = 0;
    {
        ArchiveConnection connection(location_, ArchiveConnection::Access::Read);
        QSqlQuery query(
            "SELECT t.id FROM tests t JOIN instruments i ON i.id = t.instrument_id"
            " WHERE i.serial = '4711' AND t.seq = '4'",
            connection.db());
        ASSERT_TRUE(query.next());
        id = query.value(0).toLongLong();
    }
    ASSERT_TRUE(behindALock("exclusions", [&] { return window_->leaveOut(id, "probe dropped"); }));
    EXPECT_FALSE(window_->freezeLimits("P%2", LimitsBaseline{1, {}, {}}));
    EXPECT_EQ(find<QLabel>("summary")->text(),
              "The limits were not frozen: the baseline (first 1 tests) holds 1 tests that make "
              "limits, no two of them one after the other; limits need a moving range");
    LimitsBaseline firstTwenty{20, {}, {}};
    ASSERT_TRUE(window_->freezeLimits("P%2", firstTwenty));
    window_ = std::make_unique<TrendWindow>(location_);
    ASSERT_TRUE(window_->applyFilter());
    EXPECT_EQ(graphPoints("left out of the limits"), 1);
    QTableWidget* leftOut = find<QTableWidget>("leftOut");
    find<QTabWidget>("panels")->setCurrentWidget(leftOut);
    ASSERT_EQ(leftOut->rowCount(), 1);
    EXPECT_EQ(leftOut->item(0, 0)->text(), "4");
    EXPECT_TRUE(leftOut->item(0, 3)->text().startsWith("probe dropped ("));
    auto* chart = find<QCustomPlot>("controlChart");
    ASSERT_TRUE(chart->findChild<QCPItemText*>("UCL frozen"));
    QTableWidget* limits = find<QTableWidget>("limitsCompare");
    find<QTabWidget>("panels")->setCurrentWidget(limits);
    ASSERT_TRUE(limits->item(0, 0) && limits->item(0, 1));
    EXPECT_EQ(limits->item(5, 1)->text(), "first 20 tests (19 tests)")
        << "the test left out is among the first twenty";
    EXPECT_TRUE(limits->item(6, 1)->text().startsWith(ChangesMadeBy(location_) + ", "))
        << limits->item(6, 1)->text().toStdString();
    EXPECT_EQ("UCL frozen " + limits->item(1, 1)->text(),
              chart->findChild<QCPItemText*>("UCL frozen")->text());

    QString pdf = folder_.path() + "/judged.pdf";
    ASSERT_TRUE(window_->saveReport(pdf));
    std::string text = CommandOutput("pdftotext -raw " + pdf.toStdString() + " -");
    for (const char* listed : {"Rule breaks (WE 1, WE 4)", "Left out of the limits: 1",
                               "Seq# 4 of 4711 ·", "probe dropped", "UCL frozen"})
        EXPECT_NE(text.find(listed), std::string::npos) << listed;

    find<QCheckBox>("judgeByFrozen")->setChecked(false);
    EXPECT_TRUE(chart->findChild<QCPItemText*>("UCL"));
    ASSERT_TRUE(window_->thawLimits("P%2"));
    find<QCheckBox>("judgeByFrozen")->setChecked(true);
    EXPECT_FALSE(chart->findChild<QCPItemText*>("UCL frozen"));
    ASSERT_TRUE(window_->takeBack(id, "probe checked"));
    EXPECT_EQ(graphPoints("left out of the limits"), 0);
}

// The Seq#s of listed tests are read as they are shown. A test deleted since the selection was
// read is named as deleted; a read that fails is said in the names' place, in the lists, a point's
// tooltip and menu, and no report is written.
TEST_P(TrendWindowTest, ListedTestsAreNamedAsShownOrTheArchivesFailureIsSaid) {
    ASSERT_TRUE(window_->applyFilter());
    tableRows();  // read to its end: on SQLite the table no longer holds the archive as it was
    window_->show();
    auto change = [this](const char* sql) {
        ArchiveConnection connection(location_, ArchiveConnection::Access::Write);
        ASSERT_TRUE(QSqlQuery(connection.db()).exec(sql)) << sql;
    };
    auto* panels = find<QTabWidget>("panels");
    QTableWidget* breaks = find<QTableWidget>("ruleBreaks");
    auto showBreaks = [&] {
        panels->setCurrentIndex(0);
        panels->setCurrentWidget(breaks);
    };
    change("DELETE FROM tests WHERE seq = '150'");
    showBreaks();
    QList<QTableWidgetItem*> deleted = breaks->findItems("(deleted)", Qt::MatchExactly);
    ASSERT_EQ(deleted.size(), 1);
    EXPECT_EQ(breaks->item(deleted[0]->row(), 3)->text(), "0.9");
    EXPECT_TRUE(tooltipAt(rejectMark()).startsWith("Seq# (deleted)\nBreaks WE 1"));

    change("ALTER TABLE tests RENAME COLUMN seq TO gone");
    const QString where = location_.display() + ": ";
    const QString failed = "The archive cannot be read: " + where;
    showBreaks();
    EXPECT_EQ(breaks->rowCount(), 1);
    EXPECT_TRUE(breaks->item(0, 0)->text().startsWith(failed))
        << breaks->item(0, 0)->text().toStdString();
    EXPECT_TRUE(tooltipAt(rejectMark()).startsWith(failed));
    bool asked = false;  // no dialog may ask why
    QTimer answer;
    chooseFirstEntries(answer, [&](QDialog* dialog) {
        asked = true;
        dialog->reject();
    });
    QCustomPlot* chart = find<QCustomPlot>("controlChart");
    QContextMenuEvent click(QContextMenuEvent::Mouse, rejectMark(),
                            chart->mapToGlobal(rejectMark()));
    QApplication::sendEvent(chart, &click);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(find<QLabel>("summary")->text().startsWith(failed));
    QString pdf = folder_.path() + "/named.pdf";
    EXPECT_FALSE(window_->saveReport(pdf));
    EXPECT_TRUE(find<QLabel>("summary")->text().startsWith("The report was not written: " + where));
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

// Subgroup and reject-rate charts take the individuals chart's place; the statistics and the
// charted tests go to a workbook, each test with its Seq#, its time as a date and the rules it
// breaks.
TEST_P(TrendWindowTest, ChartTypesAndTheStatisticsWorkbook) {
    ASSERT_TRUE(window_->applyFilter());
    auto* type = find<QComboBox>("chartType");
    auto choose = [type](int index) {
        type->setCurrentIndex(index);
        emit type->activated(index);
    };
    choose(1);
    auto* title = find<QCustomPlot>("controlChart")->findChild<QCPTextElement*>();
    ASSERT_TRUE(title);
    EXPECT_EQ(title->text(), QString::fromUtf8("X̄ chart: PN P%2, subgroups of 5"));
    EXPECT_TRUE(find<QLabel>("summary")->text().contains("; 39 subgroups"))
        << "the 199 tests of P%2 in the limits (its reject out) in fives";
    choose(3);
    EXPECT_TRUE(find<QCustomPlot>("movingRangeChart")->isHidden());
    EXPECT_TRUE(find<QLabel>("summary")->text().contains("reject rate over"));
    choose(0);

    QString path = folder_.path() + "/statistics.xlsx";
    ASSERT_TRUE(window_->exportStatistics(path));
    std::string dump = ReadTypedBack(path.toStdString());
    EXPECT_NE(dump.find(TextCell("150") + "\td2004-01-07 06:00:00"), std::string::npos)
        << "Seq# 150 with its date";
    EXPECT_NE(dump.find("\tn0.9\t" + TextCell("yes") + "\t" + TextCell("WE 1")), std::string::npos)
        << "the reject beyond the limit";
}

// What another program stores meanwhile is seen at the next Apply, though the table still holds
// its query open (more rows than one fetch).
TEST_P(TrendWindowTest, ApplySeesWhatWasStoredMeanwhile) {
    ASSERT_TRUE(window_->applyFilter());
    Store("4713", 5);
    ASSERT_TRUE(window_->applyFilter());
    EXPECT_TRUE(find<QLabel>("summary")->text().startsWith("405 tests selected"))
        << find<QLabel>("summary")->text().toStdString();
}

// Word boxes of a PDF's page as pdftotext finds them: (x0, y0, x1, y1) for each of these words.
std::map<std::string, QRectF> WordBoxes(const std::string& pdf, int page) {
    std::string html = CommandOutput("pdftotext -bbox -f " + std::to_string(page) + " -l " +
                                     std::to_string(page) + " " + pdf + " -");
    std::map<std::string, QRectF> boxes;
    std::regex word(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"
        "([^<]*)</word>");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it)
        boxes.emplace((*it)[5], QRectF(QPointF(std::stod((*it)[1]), std::stod((*it)[2])),
                                       QPointF(std::stod((*it)[3]), std::stod((*it)[4]))));
    return boxes;
}

// The command line's report: a page for each PN asked for, each numbered of all, its rules as
// chosen and its labels apart where their limits meet; nothing selected, no file and status 1;
// a lower tolerance not below the upper refused. The leak's unit, set alone after the limits,
// keeps them and shows on the report and in the statistics workbook; limits for a PN never
// tested are kept with a warning.
TEST_P(TrendWindowTest, TheCommandLineReportTakesPnsAndRulesAndWritesNothingOfNothing) {
    if (GetParam() != Engine::Sqlite)
        GTEST_SKIP() << "the program is given the archive's file";
    ASSERT_TRUE(window_->applyFilter());
    QTableWidget* statistics = find<QTableWidget>("statistics");
    QString ucl = statistics->item(0, 0)->text() == "P%2" ? statistics->item(0, 18)->text()
                                                          : statistics->item(1, 18)->text();
    std::string pdf = (folder_.path() + "/nightly.pdf").toStdString();
    auto run = [&](const std::string& arguments) {
        return CommandOutput(QM4250_ARCHIVE_EXECUTABLE " " + arguments + " --archive " +
                             location_.path.toStdString() + " 2>&1; echo status $?");
    };
    auto ends = [](const std::string& output, const std::string& end) {
        return output.size() >= end.size() && output.substr(output.size() - end.size()) == end;
    };
    auto starts = [](const std::string& output, const std::string& start) {
        return output.rfind(start, 0) == 0;
    };
    std::string upper = "PN P%2: upper " + ucl.toStdString() + ", lower none, ";
    EXPECT_TRUE(starts(run("limits 'P%2' --upper " + ucl.toStdString()), upper + "no unit, "));
    EXPECT_TRUE(starts(run("limits 'P%2' --unit sccm"), upper + "unit sccm, "));
    EXPECT_TRUE(starts(run("limits NOPE --unit sccm"),
                       "qm4250-archive: warning: the archive holds no test of PN NOPE\nPN "));
    EXPECT_TRUE(ends(run("report " + pdf + " --pn 'P;1' --pn 'P%2' --rules WE1,n3"),
                     "report written to " + pdf + "\nstatus 0\n"));
    std::string text = CommandOutput("pdftotext -raw " + pdf + " -");
    for (const char* expected :
         {"PN P%2", "PN P;1", "page 1 of 2", "page 2 of 2", "Rule breaks (WE 1, Nelson 3)",
          "leak (sccm)", "Unit\nsccm", "0.9 sccm · WE 1"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    ASSERT_TRUE(window_->applyFilter());
    QString workbook = folder_.path() + "/statistics.xlsx";
    ASSERT_TRUE(window_->exportStatistics(workbook));
    std::string sheets = ReadTypedBack(workbook.toStdString());
    EXPECT_NE(sheets.find("B" + TextCell("Leak (sccm)")), std::string::npos) << "P%2 charted";
    EXPECT_NE(sheets.find(TextCell("P%2") + "\t" + TextCell("sccm") + "\t"), std::string::npos);
    std::map<std::string, QRectF> words = WordBoxes(pdf, 1);
    ASSERT_TRUE(words.count("UCL") && words.count("USL")) << "P%2, the most tested, first";
    EXPECT_FALSE(words["UCL"].intersects(words["USL"])) << "USL on UCL, their labels apart";

    QFile::remove(QString::fromStdString(pdf));
    EXPECT_TRUE(ends(run("report " + pdf + " --pn NOPE"),
                     "qm4250-archive: the report was not written: no tests selected\nstatus 1\n"));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(pdf)));
    for (const char* refused :
         {"report x.pdf --rules WE5", "limits 'P;1' --upper 0.001 --lower 0.002",
          "limits 'P;1' --upper 0.001 --lower 0.001"})
        EXPECT_TRUE(ends(run(refused), "status 2\n")) << refused;
}

// Limits and exclusions that cannot be read end the selection: no part of it is charted as if
// it were judged.
TEST_P(TrendWindowTest, ASelectionWhoseJudgingCannotBeReadIsNotShown) {
    ASSERT_TRUE(window_->applyFilter());
    ASSERT_EQ(graphPoints("tests"), 200);
    {
        ArchiveConnection connection(location_, ArchiveConnection::Access::Write);
        ASSERT_TRUE(QSqlQuery(connection.db()).exec("ALTER TABLE exclusions RENAME TO gone"));
    }
    EXPECT_FALSE(window_->applyFilter());
    EXPECT_TRUE(
        find<QLabel>("summary")->text().startsWith("The limits and exclusions cannot be read: "))
        << find<QLabel>("summary")->text().toStdString();
    EXPECT_EQ(graphPoints("tests"), 0);
    EXPECT_EQ(find<QComboBox>("chartPn")->count(), 0);
}

// At 1280 x 720 and as small as the window goes, every control shows its whole text; at
// 1600 x 1000 Cp and Cpk are in view, and no column of the statistics or the tests cuts its text.
TEST_P(TrendWindowTest, ControlsAndColumnsShowTheirWholeTextAndCapabilityIsInView) {
    window_->show();
    ASSERT_TRUE(window_->showRecent());
    for (QSize size : {QSize(1280, 720), window_->minimumSizeHint()}) {
        window_->resize(size);
        ASSERT_EQ(window_->size(), size) << "not held larger by its parts";
        for (QWidget* control : window_->findChildren<QWidget*>()) {
            auto* edit = qobject_cast<QLineEdit*>(control);
            if (!control->isVisibleTo(window_.get()) ||
                (!edit && !control->inherits("QAbstractButton") && !control->inherits("QComboBox")))
                continue;
            std::string name = control->objectName().toStdString();
            if (edit) {
                for (const QString& text : {edit->text(), edit->placeholderText()})
                    EXPECT_LE(edit->fontMetrics().horizontalAdvance(text), TextRoom(edit)) << name;
            } else {
                EXPECT_GE(control->width(), control->sizeHint().width()) << name;
            }
        }
    }
    window_->resize(1600, 1000);
    auto* statistics = find<QTableWidget>("statistics");
    EXPECT_LE(statistics->columnViewportPosition(8) + statistics->columnWidth(8),  // Cpk
              statistics->viewport()->width());
    for (QTableView* table : {static_cast<QTableView*>(statistics), find<QTableView>("tests")})
        for (int column = 0; column < table->model()->columnCount(); ++column)
            EXPECT_GE(table->columnWidth(column),
                      std::max(static_cast<QAbstractItemView*>(table)->sizeHintForColumn(column),
                               table->horizontalHeader()->sectionSizeHint(column)))
                << column;
}

// A name suggested, the extension added to one typed without it, the folder kept for a later run.
TEST_P(TrendWindowTest, SaveDialogsSuggestANameAddTheExtensionAndKeepTheFolder) {
    QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", folder_.filePath("config").toUtf8());
    filterBy("pn", "P%2");
    auto answerer = std::make_unique<SaveDialogAnswerer>(folder_.filePath("stats-P"));
    find<QPushButton>("exportStatistics")->click();
    EXPECT_TRUE(answerer->nameFilledIn.startsWith("statistics-P_2-")) << "the PN, then the day";
    EXPECT_TRUE(QFileInfo::exists(folder_.filePath("stats-P.xlsx")));
    window_ = std::make_unique<TrendWindow>(location_);
    answerer = std::make_unique<SaveDialogAnswerer>("");
    find<QPushButton>("saveReport")->click();
    EXPECT_EQ(answerer->folder, folder_.path());
    config.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", config);
}

INSTANTIATE_TEST_SUITE_P(Engines, TrendWindowTest,
                         testing::Values(Engine::Sqlite, Engine::Postgres), EngineName);

}  // namespace
