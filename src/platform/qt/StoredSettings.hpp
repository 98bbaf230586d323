#pragma once
// What the program keeps between runs (the port, the sampling interval, the
// last folder of each file dialog, the places of windows the user moved), in
// an INI file of the user's configuration folder. A missing, unreadable or
// damaged file gives the defaults, and so does any value that does not parse.
#include <QPoint>
#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

namespace qelt {

class StoredSettings {
 public:
  // The user's file ("Qelt/qelt.ini" in the configuration folder).
  StoredSettings();
  // Another file (tests).
  explicit StoredSettings(const QString& path);

  // A file that cannot be read as settings is renamed to "<path>.bad" and a
  // fresh one begun. False only when even that fails: reads give defaults.
  bool Usable() const { return usable_; }

  QString PortText() const;
  void SetPortText(const QString& text);

  // 1..86400 seconds; nothing when unset or invalid.
  std::optional<int> SamplingInterval() const;
  void SetSamplingInterval(int seconds);

  // The last folder of the dialog with the given title; empty when none.
  QString Folder(const QString& dialog) const;
  void SetFolder(const QString& dialog, const QString& folder);

  // The harmonic analysis view's "Limits" item (0..3) and the ISC/IL ratio
  // (above 0); nothing when unset or invalid.
  std::optional<int> HarmonicLimitsItem() const;
  std::optional<double> HarmonicIscIl() const;
  void SetHarmonicLimits(int item, double iscIl);

  // Where the user last put the window with this object name.
  std::optional<QPoint> WindowPlace(const QString& window) const;
  void SetWindowPlace(const QString& window, QPoint place);

  // Writes what changed to the file now.
  void Flush();

 private:
  QString Text(const QString& key) const;
  void SetText(const QString& key, const QVariant& value);

  std::unique_ptr<QSettings> settings_;
  bool usable_ = true;
};

}  // namespace qelt
