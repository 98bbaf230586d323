#pragma once
// A number box with up/down arrows. It keeps the exact double it was given and
// formats it only for display, with a number pattern ("0.0", "0.000") and a
// point whatever the locale (an empty pattern shows at most two
// decimals, without trailing zeros); any finite value fits. ValueChanged is raised on
// every SetValue, also when the value stays the same, and when the user
// steps or types a new value.
#include <QAbstractSpinBox>
#include <QLineEdit>

namespace qelt {

class NumberBox : public QAbstractSpinBox {
  Q_OBJECT
 public:
  explicit NumberBox(int index = 0, QWidget* parent = nullptr);

  int Index() const { return index_; }
  double Value() const { return value_; }
  void SetValue(double value);
  void SetFormat(const QString& pattern);
  QString Format() const { return format_; }
  void SetIncrement(double increment) { increment_ = increment; }
  double Increment() const { return increment_; }
  // The text shown for the value.
  QString Text() const;
  // Marks the value as wrong (a reddish box, the problem as its tip) until
  // called with an empty text.
  void SetProblem(const QString& problem);
  bool HasProblem() const { return !problem_.isEmpty(); }
  // The edit line the user types into.
  QLineEdit* Editor() const { return lineEdit(); }

  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 signals:
  void ValueChanged(int index);

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

 private:
  void ShowValue();
  void TakeTypedText();

  int index_;
  double value_ = 0;
  double increment_ = 0.1;
  QString format_ = "0.0";
  QString problem_;
};

}  // namespace qelt
