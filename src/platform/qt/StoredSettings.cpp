#include "platform/qt/StoredSettings.hpp"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>
#include <cstdlib>

namespace qelt {

namespace {

// One INI key per dialog title or window name, whatever characters they hold.
QString KeyPart(const QString& name) {
  QString key = name;
  key.replace(QRegularExpression("[^A-Za-z0-9]+"), "_");
  return key.isEmpty() ? QStringLiteral("_") : key;
}

}  // namespace

StoredSettings::StoredSettings()
    : StoredSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Qelt/qelt.ini") {}

StoredSettings::StoredSettings(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {
  if (settings_->status() == QSettings::NoError) return;
  // A damaged file is put aside (kept for a look), and a fresh one begun.
  settings_.reset();
  QFile::remove(path + ".bad");
  QFile::rename(path, path + ".bad");
  settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  usable_ = settings_->status() == QSettings::NoError;
}

QString StoredSettings::Text(const QString& key) const {
  if (!usable_) return {};
  const QVariant value = settings_->value(key);
  return value.canConvert<QString>() ? value.toString() : QString();
}

void StoredSettings::SetText(const QString& key, const QVariant& value) {
  if (usable_) settings_->setValue(key, value);
}

QString StoredSettings::PortText() const {
  // A port text is one short line.
  const QString text = Text("port/text").trimmed();
  return text.size() <= 260 && !text.contains('\n') ? text : QString();
}

void StoredSettings::SetPortText(const QString& text) { SetText("port/text", text); }

std::optional<int> StoredSettings::SamplingInterval() const {
  bool ok = false;
  const int seconds = Text("sampling/interval").toInt(&ok);
  if (!ok || seconds < 1 || seconds > 86400) return std::nullopt;
  return seconds;
}

void StoredSettings::SetSamplingInterval(int seconds) { SetText("sampling/interval", seconds); }

std::optional<int> StoredSettings::HarmonicLimitsItem() const {
  bool ok = false;
  const int item = Text("harmonic/limits").toInt(&ok);
  if (!ok || item < 0 || item > 3) return std::nullopt;
  return item;
}

std::optional<double> StoredSettings::HarmonicIscIl() const {
  bool ok = false;
  const double ratio = Text("harmonic/iscil").toDouble(&ok);
  if (!ok || !(ratio > 0) || !std::isfinite(ratio)) return std::nullopt;
  return ratio;
}

void StoredSettings::SetHarmonicLimits(int item, double iscIl) {
  SetText("harmonic/limits", item);
  SetText("harmonic/iscil", iscIl);
}

QString StoredSettings::Folder(const QString& dialog) const { return Text("folders/" + KeyPart(dialog)); }

void StoredSettings::SetFolder(const QString& dialog, const QString& folder) {
  SetText("folders/" + KeyPart(dialog), folder);
}

std::optional<QPoint> StoredSettings::WindowPlace(const QString& window) const {
  const QStringList xy = Text("windows/" + KeyPart(window)).split(',');
  if (xy.size() != 2) return std::nullopt;
  bool okX = false, okY = false;
  const int x = xy[0].toInt(&okX), y = xy[1].toInt(&okY);
  if (!okX || !okY || std::abs(x) > 100000 || std::abs(y) > 100000) return std::nullopt;
  return QPoint(x, y);
}

void StoredSettings::SetWindowPlace(const QString& window, QPoint place) {
  SetText("windows/" + KeyPart(window), QString("%1,%2").arg(place.x()).arg(place.y()));
}

void StoredSettings::Flush() {
  if (usable_) settings_->sync();
}

}  // namespace qelt
