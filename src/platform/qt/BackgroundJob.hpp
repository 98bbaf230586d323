#pragma once
// One piece of work on a worker thread for a window: its progress, a cancel,
// and the end told on the user-interface thread. The work owns nothing of
// the window, so the window can go while it runs: the job stops and joins
// its worker when it is destroyed.
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

namespace qelt {

class BackgroundJob : public QObject {
  Q_OBJECT
 public:
  // Runs on the worker: tells its progress in per mille through the function
  // it is given, which answers false once the job is cancelled.
  using Work = std::function<void(const std::function<bool(int permille)>& progress)>;

  explicit BackgroundJob(QObject* parent = nullptr);
  ~BackgroundJob() override;
  BackgroundJob(const BackgroundJob&) = delete;
  BackgroundJob& operator=(const BackgroundJob&) = delete;

  // Cancels a job under way (its Done never comes) and starts this one.
  void Start(Work work);
  // Stops the work and waits for the worker; no Done follows.
  void Cancel();
  bool Running() const { return running_ != nullptr; }
  int Permille() const;

 signals:
  // About ten times a second while the work runs.
  void Progress(int permille);
  // The work has ended and its worker is joined: what it wrote can be read.
  void Done();

 private:
  struct Run;
  void Finish(std::uint64_t number);

  std::unique_ptr<Run> running_;
  std::uint64_t runs_ = 0;
  QTimer ticker_;
};

}  // namespace qelt
