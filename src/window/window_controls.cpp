#include "window/window_controls.h"

#include <QFontMetrics>
#include <QPixmap>
#include <QStyle>

namespace qm4250 {

namespace {

// The layout was drawn in twips: 15 twips to the pixel at 96 dots per inch.
QRect Twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QFont SansFont(bool bold) {
    QFont font;
    font.setFamilies({"Liberation Sans", "DejaVu Sans", "Sans Serif"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

// The list and its headings must share one fixed-pitch font so the headings stand over the
// columns.
QFont FixedFont() {
    QFont font;
    font.setFamilies({"Liberation Mono", "DejaVu Sans Mono", "Monospace"});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

template <typename Control>
Control* Place(Control* control, const char* name, QRect geometry, const QFont& font) {
    control->setObjectName(name);
    control->setGeometry(geometry);
    control->setFont(font);
    return control;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    QPushButton* button = Place(new QPushButton(caption, parent), name, geometry, SansFont(true));
    button->setAutoDefault(false);  // Enter and Esc press nothing by themselves
    return button;
}

QRadioButton* Option(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    return Place(new QRadioButton(caption, parent), name, geometry, SansFont(true));
}

QLabel* Heading(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    QLabel* label = Place(new QLabel(caption, parent), name, geometry, FixedFont());
    label->setTextFormat(Qt::PlainText);
    return label;
}

QGroupBox* Frame(QWidget* parent, const char* name, const char* caption, QRect geometry) {
    return Place(new QGroupBox(caption, parent), name, geometry, SansFont(true));
}

// Where the list draws the first character of a line, and how wide one character is.
void AlignHeadingsWithList(WindowControls& c) {
    constexpr int kRelayColumn = 55;  // Seq# 6, PN 4, Cust Code 10, Leak 8, Err 4, Time 20, gap 3
    QStyle* style = c.List1->style();
    int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, c.List1) + 1;
    int firstColumnX = c.List1->x() + c.List1->frameWidth() + textMargin;
    int advance = QFontMetrics(c.List1->font()).horizontalAdvance(QLatin1Char('0'));
    int relayX = firstColumnX + kRelayColumn * advance;
    c.Label2->move(firstColumnX, c.Label2->y());
    c.Label3->move(relayX, c.Label3->y());
    c.Label4->move(relayX, c.Label4->y());
}

void SetTabOrder(const WindowControls& c) {
    QWidget* order[] = {c.List1,          c.cmdRequest, c.cmdCancel,  c.txtNumValues, c.cmdSave,
                        c.txtCurrentMode, c.cmdReqMode, c.cmdSetMode, c.optCal,       c.optRun,
                        c.optData,        c.optSetUp,   c.optComm[4], c.optComm[3],   c.optComm[2],
                        c.optComm[1],     c.optComm[0], c.cmdExit};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace

WindowControls BuildWindowControls(QWidget* form) {
    WindowControls c{};
    form->setFont(SansFont(false));

    c.Label4 = Heading(form, "Label4", "<---RELAYS-->", Twips(7590, 120, 2055, 255));
    c.Label2 = Heading(form, "Label2", "Seq#  PN  Cust Code     Leak  Err Time/Date",
                       Twips(195, 360, 6855, 255));
    c.Label3 = Heading(form, "Label3", "GP  -Rej +Rej", Twips(7590, 360, 2175, 255));
    c.List1 = Place(new QListWidget(form), "List1", Twips(120, 600, 9735, 8835), FixedFont());
    c.List1->setUniformItemSizes(true);
    // The list lays out every row again after each insert; in batches, an append costs one batch
    // per pass of the event loop rather than the whole history.
    c.List1->setLayoutMode(QListView::Batched);

    c.Frame1 = Frame(form, "Frame1", "QM4250 History Data", Twips(10080, 480, 4215, 2655));
    c.Label1 = Place(new QLabel("Number Values To Get (Blank for all Values)", c.Frame1), "Label1",
                     Twips(1560, 480, 2055, 495), SansFont(true));
    c.Label1->setWordWrap(true);
    c.cmdRequest = Button(c.Frame1, "cmdRequest", "REQUEST", Twips(240, 960, 1095, 495));
    c.txtNumValues = Place(new QLineEdit(c.Frame1), "txtNumValues", Twips(1800, 960, 1215, 375),
                           SansFont(false));
    c.cmdCancel = Button(c.Frame1, "cmdCancel", "CANCEL", Twips(240, 1920, 1095, 495));
    c.cmdSave = Button(c.Frame1, "cmdSave", "SAVE", Twips(1800, 1920, 1215, 495));

    c.Frame3 = Frame(form, "Frame3", "QM4250 Operating Mode", Twips(10080, 3360, 4215, 2655));
    c.cmdReqMode = Button(c.Frame3, "cmdReqMode", "Get Mode", Twips(240, 480, 1095, 495));
    c.txtCurrentMode = Place(new QLineEdit(c.Frame3), "txtCurrentMode", Twips(1800, 480, 1215, 375),
                             SansFont(true));
    c.cmdSetMode = Button(c.Frame3, "cmdSetMode", "Change Mode", Twips(240, 1560, 1095, 495));
    c.optSetUp = Option(c.Frame3, "optSetUp", "SETUP", Twips(1560, 1560, 975, 255));
    c.optRun = Option(c.Frame3, "optRun", "RUN", Twips(3000, 1560, 855, 255));
    c.optCal = Option(c.Frame3, "optCal", "CALIBRATE", Twips(1560, 2040, 1455, 255));
    c.optData = Option(c.Frame3, "optData", "DATA", Twips(3000, 2040, 975, 255));

    c.Frame2 = Frame(form, "Frame2", "Select Comm Port", Twips(10080, 6240, 4215, 1455));
    c.optComm[0] = Option(c.Frame2, "optComm1", "COMM 1", Twips(240, 360, 1215, 495));
    c.optComm[1] = Option(c.Frame2, "optComm2", "COMM 2", Twips(1560, 360, 1215, 495));
    c.optComm[2] = Option(c.Frame2, "optComm3", "COMM 3", Twips(3000, 360, 1095, 495));
    c.optComm[3] = Option(c.Frame2, "optComm4", "COMM 4", Twips(240, 840, 1215, 495));
    c.optComm[4] = Option(c.Frame2, "optComm5", "COMM 5", Twips(1560, 840, 1215, 495));

    c.cmdExit = Button(form, "cmdExit", "EXIT", Twips(10080, 8400, 1095, 495));

    c.Image1 = Place(new QLabel(form), "Image1", Twips(11280, 8040, 2955, 1335), form->font());
    c.Image1->setPixmap(QPixmap(":/logo.png"));
    c.Image1->setScaledContents(true);

    c.StatusBar1 =
        Place(new QStatusBar(form), "StatusBar1", Twips(0, 9630, 14475, 375), SansFont(true));
    c.StatusBar1->setSizeGripEnabled(false);
    c.statusPanel1 = new QLabel(c.StatusBar1);
    c.statusPanel1->setObjectName("Panel1");
    c.statusPanel1->setTextFormat(Qt::PlainText);
    c.statusPanel1->setMinimumWidth(1440 / 15);
    c.StatusBar1->addWidget(c.statusPanel1, 1);
    c.recordCounter = new QLabel(c.StatusBar1);
    c.recordCounter->setObjectName("Panel2");
    c.recordCounter->setTextFormat(Qt::PlainText);
    c.recordCounter->setMinimumWidth(160);
    c.StatusBar1->addPermanentWidget(c.recordCounter);
    c.openArchive = new QPushButton("Open archive", c.StatusBar1);
    c.openArchive->setObjectName("openArchive");
    c.openArchive->setFlat(true);
    c.openArchive->setCursor(Qt::PointingHandCursor);
    c.openArchive->setStyleSheet(
        "QPushButton { color: palette(link); text-decoration: underline; }");
    c.StatusBar1->addPermanentWidget(c.openArchive);

    AlignHeadingsWithList(c);
    SetTabOrder(c);
    return c;
}

}  // namespace qm4250
