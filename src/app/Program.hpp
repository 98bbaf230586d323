#pragma once
// One run of the desktop program: the clock, the serial port, the link, the
// session and the windows, from the port window to the end. The port is
// released when the Program is destroyed, right after the event loop ends.
#include <QObject>
#include <QPointer>

#include "link/Link.hpp"
#include "platform/Dialogs.hpp"
#include "platform/qt/QtHost.hpp"
#include "platform/qt/QtSerialPort.hpp"
#include "session/Session.hpp"

namespace qelt {

class PanelWindow;
class PortWindow;
class StoredSettings;

class Program : public QObject {
  Q_OBJECT
 public:
  // settings: what is kept between runs (none: nothing is kept).
  explicit Program(Dialogs& dialogs, StoredSettings* settings = nullptr, QObject* parent = nullptr);
  ~Program() override;

  // Shows the port window; a non-empty text (else the port of the last run)
  // replaces its "COM1". keepPort: the port chosen is kept for the next run
  // (not a simulator's, which is gone by then).
  void Start(const QString& portText = {}, bool keepPort = true);

  PortWindow* Port() const;
  PanelWindow* Panel() const;
  Session& SharedSession() { return session_; }
  QtSerialPort& SerialDevice() { return port_; }
  Link& SerialLink() { return link_; }
  bool Ended() const { return ended_; }

 signals:
  // A new main window, attached to every subsystem, before it loads.
  void PanelCreated(qelt::PanelWindow* panel);

 private:
  void ShowPanel();
  void End();

  Dialogs& dialogs_;
  StoredSettings* settings_;
  QtHost host_;
  QtSerialPort port_;
  Link link_;
  Session session_;
  QPointer<PortWindow> portWindow_;
  QPointer<PanelWindow> panel_;
  bool ended_ = false;
};

}  // namespace qelt
