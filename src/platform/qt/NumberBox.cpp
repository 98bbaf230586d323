#include "platform/qt/NumberBox.hpp"

#include <QApplication>
#include <QLineEdit>
#include <cmath>

#include "text/NumberText.hpp"

namespace qelt {

NumberBox::NumberBox(int index, QWidget* parent) : QAbstractSpinBox(parent), index_(index) {
  setKeyboardTracking(false);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  connect(this, &QAbstractSpinBox::editingFinished, this, &NumberBox::TakeTypedText);
  ShowValue();
}

void NumberBox::SetValue(double value) {
  if (!std::isfinite(value)) return;
  value_ = value;
  ShowValue();
  emit ValueChanged(index_);
}

void NumberBox::SetFormat(const QString& pattern) {
  format_ = pattern;
  ShowValue();
}

QString NumberBox::Text() const {
  const std::string text =
      format_.isEmpty() ? GeneralNumber(std::round(value_ * 100) / 100) : FormatPattern(value_, format_.toStdString());
  return QString::fromStdString(text);
}

void NumberBox::SetProblem(const QString& problem) {
  if (problem == problem_) return;
  problem_ = problem;
  QPalette p = palette();
  p.setColor(QPalette::Base,
             problem.isEmpty() ? QApplication::palette(this).color(QPalette::Base) : QColor(0xff, 0xc8, 0xc8));
  setPalette(p);
  lineEdit()->setPalette(p);
  setToolTip(problem);
}

void NumberBox::ShowValue() { lineEdit()->setText(Text()); }

void NumberBox::stepBy(int steps) { SetValue(value_ + steps * increment_); }

QValidator::State NumberBox::validate(QString& input, int&) const {
  for (const QChar c : input)
    if (!c.isDigit() && !QString(".-+eEdD ").contains(c)) return QValidator::Invalid;
  return QValidator::Acceptable;
}

void NumberBox::fixup(QString& input) const { input = Text(); }

void NumberBox::TakeTypedText() {
  const QString typed = lineEdit()->text();
  // The shown text stands for the exact value; only a new text changes it.
  if (typed == Text()) return;
  SetValue(NumericPrefix(typed.toStdString()));
}

}  // namespace qelt
