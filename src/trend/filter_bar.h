#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "archive/archived_instruments.h"
#include "archive/test_filter.h"

namespace qm4250 {

// The archive window's filters: instrument, PN, Cust Code, date range, rejects only, and text
// found in Seq# or Cust Code, in two rows; Apply, or Return in any of them, asks for them to be
// applied.
class FilterBar : public QWidget {
    Q_OBJECT
  public:
    explicit FilterBar(QWidget* parent);

    // The filter as the fields hold it now.
    TestFilter filter() const;
    // Why the fields cannot be applied: a date that is not one, which is also marked. Taken for no
    // date it would show every test.
    std::optional<QString> refusal();
    // The instruments to choose from after "All instruments"; the choice stays while it can.
    void showInstruments(const std::vector<ArchivedInstrument>& instruments);
    // Chooses the first instrument, if there is one, and gives its serial.
    std::optional<QString> chooseFirstInstrument();
    void setFrom(const QDate& day);
    // The date range as typed, to offer as a baseline's.
    QString fromText() const { return from_->text(); }
    QString toText() const { return to_->text(); }

  signals:
    void applyAsked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QComboBox* instrument_;
    QLineEdit* pn_;
    QLineEdit* custCode_;
    QLineEdit* from_;
    QLineEdit* to_;
    QLineEdit* search_;
    QCheckBox* rejectsOnly_;
};

}  // namespace qm4250
